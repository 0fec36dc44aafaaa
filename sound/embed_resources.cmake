# Writes a C++ source that carries the raw-data resources of a resource script as byte tables, for
# platforms without Windows resources. Run as: cmake -DRC_FILE=... -DOUTPUT=... -P embed_resources.cmake
# Only lines of the form  NAME RCDATA "relative/path"  are taken, as the Windows build takes them.
file(STRINGS "${RC_FILE}" lines REGEX "^[ \t]*[A-Za-z_][A-Za-z0-9_]*[ \t]+RCDATA[ \t]+\"[^\"]+\"")
get_filename_component(rc_dir "${RC_FILE}" DIRECTORY)

set(tables "")
set(entries "")
set(index 0)
foreach(line IN LISTS lines)
  string(REGEX MATCH "^[ \t]*([A-Za-z_][A-Za-z0-9_]*)[ \t]+RCDATA[ \t]+\"([^\"]+)\"" _ "${line}")
  set(name "${CMAKE_MATCH_1}")
  set(path "${rc_dir}/${CMAKE_MATCH_2}")
  file(READ "${path}" hex HEX)
  string(LENGTH "${hex}" hex_length)
  math(EXPR size "${hex_length} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND tables "alignas(4) const uint8_t resource_${index}[] = {${bytes}};\n")
  string(APPEND entries "    {\"${name}\", resource_${index}, ${size}},\n")
  math(EXPR index "${index} + 1")
endforeach()

file(WRITE "${OUTPUT}.tmp" "// Generated from ${RC_FILE} by sound/embed_resources.cmake: do not edit.
#include <cstdint>

#include \"sound/posix/embedded_resources.h\"

namespace tarvenol::snd {

namespace {
${tables}}  // namespace

const ResourceEntry kEmbeddedResources[] = {
${entries}};
const std::size_t kEmbeddedResourceCount = sizeof kEmbeddedResources / sizeof kEmbeddedResources[0];

}  // namespace tarvenol::snd
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
