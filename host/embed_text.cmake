# Writes a text file into a C++ source as `const char* const SYMBOL` (declared in HEADER), so that
# cockpit-sim carries it wherever it runs.
# -DINPUT=text file -DOUTPUT=generated source -DSYMBOL=variable name -DHEADER=header declaring it -DNAME=file named in the comment
file(READ ${INPUT} text)
string(FIND "${text}" ")text\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${INPUT} must not contain )text\"")
endif()
file(WRITE ${OUTPUT}.tmp "// Generated from ${NAME} at build time.\n#include \"${HEADER}\"\n\n"
     "namespace tarvenol::host {\n"
     "const char* const ${SYMBOL} = R\"text(${text})text\";\n"
     "}  // namespace tarvenol::host\n")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
