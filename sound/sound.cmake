# The sound engine (tarvenol_sound) and the module's resources.
#  - Windows: DirectSound 8 back end; the resources are compiled from resources/module.rc by windres
#    into the OBJECT library tarvenol_resources, which every binary carrying the sounds links in.
#  - Elsewhere: the software mixer; the same resources are compiled into tarvenol_sound as byte
#    tables generated from resources/module.rc at build time.
set(TARVENOL_SOUND_DIR ${CMAKE_SOURCE_DIR}/sound)
set(TARVENOL_RESOURCE_SCRIPT ${CMAKE_SOURCE_DIR}/resources/module.rc)

file(GLOB tarvenol_sound_sources CONFIGURE_DEPENDS ${TARVENOL_SOUND_DIR}/*.cpp)
if(WIN32)
  file(GLOB tarvenol_sound_platform CONFIGURE_DEPENDS ${TARVENOL_SOUND_DIR}/win32/*.cpp)
else()
  file(GLOB tarvenol_sound_platform CONFIGURE_DEPENDS ${TARVENOL_SOUND_DIR}/posix/*.cpp)
endif()

add_library(tarvenol_sound STATIC ${tarvenol_sound_sources} ${tarvenol_sound_platform})
target_include_directories(tarvenol_sound PUBLIC ${CMAKE_SOURCE_DIR})
set_target_properties(tarvenol_sound PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)

# The wave files the resource script names, so that a regenerated sound rebuilds what carries it.
file(STRINGS ${TARVENOL_RESOURCE_SCRIPT} tarvenol_resource_lines REGEX "RCDATA[ \t]+\"[^\"]+\"")
set(TARVENOL_RESOURCE_FILES "")
foreach(line IN LISTS tarvenol_resource_lines)
  string(REGEX MATCH "RCDATA[ \t]+\"([^\"]+)\"" _ "${line}")
  list(APPEND TARVENOL_RESOURCE_FILES ${CMAKE_SOURCE_DIR}/resources/${CMAKE_MATCH_1})
endforeach()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TARVENOL_RESOURCE_SCRIPT})

if(WIN32)
  target_link_libraries(tarvenol_sound PUBLIC dsound)
  enable_language(RC)
  add_library(tarvenol_resources OBJECT ${TARVENOL_RESOURCE_SCRIPT})
  target_include_directories(tarvenol_resources PRIVATE ${CMAKE_SOURCE_DIR}/resources)
  set_source_files_properties(${TARVENOL_RESOURCE_SCRIPT} PROPERTIES OBJECT_DEPENDS "${TARVENOL_RESOURCE_FILES}")
else()
  set(tarvenol_embedded ${CMAKE_BINARY_DIR}/sound/embedded_resources.cpp)
  add_custom_command(
    OUTPUT ${tarvenol_embedded}
    COMMAND ${CMAKE_COMMAND} -DRC_FILE=${TARVENOL_RESOURCE_SCRIPT} -DOUTPUT=${tarvenol_embedded}
            -P ${TARVENOL_SOUND_DIR}/embed_resources.cmake
    DEPENDS ${TARVENOL_RESOURCE_SCRIPT} ${TARVENOL_RESOURCE_FILES} ${TARVENOL_SOUND_DIR}/embed_resources.cmake
    COMMENT "Compiling the module's resources into tables"
    VERBATIM)
  target_sources(tarvenol_sound PRIVATE ${tarvenol_embedded})
endif()

# tarvenol_wine_audio(TEST none|null): runs a Windows test under wine in the build tree's wine prefix
# (build/<preset>/wineprefix, the one every Windows test uses; brought up to date once by the fixture
# test sound_wine_prefix), either with no audio device at all or with ALSA's null device as the
# default output, which gives DirectSound a working device.
function(tarvenol_wine_audio test audio)
  set(wine_dir ${CMAKE_BINARY_DIR}/wine)
  set(home_none ${wine_dir}/home-no-audio)
  set(home_null ${wine_dir}/home-null-audio)
  file(MAKE_DIRECTORY ${home_none} ${home_null})
  file(WRITE ${home_null}/.asoundrc "pcm.!default { type null }\n")
  file(WRITE ${wine_dir}/no-audio.conf "# ALSA configuration without any device\n")
  set(common "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix" "WINEDEBUG=-all" "WINEDLLOVERRIDES=mscoree,mshtml,winepulse.drv=d")
  get_property(have_prefix GLOBAL PROPERTY TARVENOL_WINE_PREFIX_TEST)
  if(NOT have_prefix)
    add_test(NAME sound_wine_prefix COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} wineboot --init)
    set_tests_properties(sound_wine_prefix PROPERTIES FIXTURES_SETUP sound_wine_prefix
                         ENVIRONMENT "${common};HOME=${home_null}")
    set_property(GLOBAL PROPERTY TARVENOL_WINE_PREFIX_TEST ON)
  endif()
  if(audio STREQUAL "null")
    set(env ${common} "HOME=${home_null}")
  else()
    set(env ${common} "HOME=${home_none}" "ALSA_CONFIG_PATH=${wine_dir}/no-audio.conf")
  endif()
  set_tests_properties(${test} PROPERTIES ENVIRONMENT "${env}" FIXTURES_REQUIRED sound_wine_prefix)
endfunction()
