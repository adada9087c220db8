cmake_minimum_required(VERSION 3.25)
# Checks that the folders of src/ depend on each other only downwards:
#   shell -> display -> engine -> avi, media -> riff -> log, cli -> engine,
#   platform -> engine;
# the engine reaches the AVI import and the media decoding only through their
# entry points, and Qt's
# headers appear only in *_qt.* files, shell/main.cpp and platform/.
# Run as: cmake -DSOURCE_DIR=<repo> -P cmake/check_layers.cmake
set(allowed_log "log")
set(allowed_riff "riff;log")
set(allowed_avi "avi;riff;log")
set(allowed_media "media;riff;log")
set(allowed_engine "engine;riff;log")
set(allowed_display "display;engine;riff;log")
set(allowed_shell "shell;display;engine;riff;log")
set(allowed_platform "platform;engine;riff;log")
set(allowed_cli "cli;engine;riff;log")
# The one header of a lower layer that a layer may name beyond its list.
set(entry_points_engine "avi/extract_avi_audio.h;media/decode_media_audio.h;media/media_extensions.h")
set(entry_points_shell "platform/qt_audio_system.h")

set(problems "")
file(GLOB layers RELATIVE "${SOURCE_DIR}/src" "${SOURCE_DIR}/src/*")
foreach(layer IN LISTS layers)
  if(NOT DEFINED allowed_${layer})
    string(APPEND problems "src/${layer}: a folder the layer rules don't know\n")
    continue()
  endif()
  file(GLOB_RECURSE files "${SOURCE_DIR}/src/${layer}/*.h" "${SOURCE_DIR}/src/${layer}/*.cpp")
  foreach(file IN LISTS files)
    file(RELATIVE_PATH name "${SOURCE_DIR}" "${file}")
    file(STRINGS "${file}" includes REGEX "^#include [<\"]")
    foreach(line IN LISTS includes)
      if(line MATCHES "^#include \"([a-z_]+)/([^\"]+)\"")
        set(target "${CMAKE_MATCH_1}")
        set(header "${CMAKE_MATCH_1}/${CMAKE_MATCH_2}")
        if(NOT target IN_LIST allowed_${layer} AND NOT header IN_LIST entry_points_${layer})
          string(APPEND problems "${name}: ${layer} may not include ${header}\n")
        endif()
      elseif(line MATCHES "^#include <Q")
        if(NOT name MATCHES "_qt\\.(h|cpp)$" AND NOT name STREQUAL "src/shell/main.cpp"
           AND NOT layer STREQUAL "platform")
          string(APPEND problems "${name}: Qt outside the Qt files: ${line}\n")
        endif()
      endif()
    endforeach()
  endforeach()
endforeach()

if(problems)
  message(FATAL_ERROR "Layer rules broken:\n${problems}")
endif()
message(STATUS "Layer rules hold")
