# Writes the default scenario into a C++ source, so that cockpit-sim carries it wherever it runs.
# -DINPUT=scenario file -DOUTPUT=generated source -DNAME=the name messages give it
file(READ ${INPUT} text)
string(FIND "${text}" ")scenario\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${INPUT} must not contain )scenario\"")
endif()
file(WRITE ${OUTPUT}.tmp "// Generated from ${NAME} at build time.\n#include \"host/scenario.h\"\n\n"
     "namespace tarvenol::host {\n"
     "const char* const kDefaultScenarioName = \"${NAME}\";\n"
     "const char* const kDefaultScenario = R\"scenario(${text})scenario\";\n"
     "}  // namespace tarvenol::host\n")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
