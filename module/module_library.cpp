// The loadable module (tarvenol.gau on Windows): all gauge code comes from the module library; this
// unit adds only the entry routine Windows calls when it maps the module.
#if defined(_WIN32)
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
#endif
