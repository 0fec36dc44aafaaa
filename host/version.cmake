# Writes the version and the commit cockpit-sim is built from into a C++ source, at every build
# (the file changes only when the commit does). -DSOURCE_DIR -DOUTPUT -DVERSION
execute_process(COMMAND git -C ${SOURCE_DIR} describe --always --dirty --abbrev=12
                OUTPUT_VARIABLE commit OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE failed)
if(failed OR commit STREQUAL "")
  set(commit "unknown")
endif()
file(WRITE ${OUTPUT}.tmp "// Generated at build time.\n#include \"host/version.h\"\n\n"
     "namespace tarvenol::host {\n"
     "const char* const kVersion = \"${VERSION}\";\n"
     "const char* const kCommit = \"${commit}\";\n"
     "}  // namespace tarvenol::host\n")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
