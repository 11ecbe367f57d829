# Fails when a source file includes a header of a floor above its own.
# Floors, lowest first; a file may include its own floor and those below.
# The includes that still reach up are listed in tests/layering_allowed.txt
# and may only go; a new one fails here.
# Usage: cmake -DSOURCE_DIR=<repo> -P cmake/check_layers.cmake
cmake_minimum_required(VERSION 3.25)
set(floors
  "base=0" "platform=1" "engine/model=2" "media=3" "render=4"
  "engine/files=5" "engine/net=5" "engine/session=6" "ui=7" "app=8" "starter=8")

function(floor_of path out)
  set(found -1)
  foreach(entry IN LISTS floors)
    string(REPLACE "=" ";" pair "${entry}")
    list(GET pair 0 prefix)
    list(GET pair 1 level)
    string(LENGTH "${prefix}/" n)
    string(SUBSTRING "${path}" 0 ${n} head)
    if(head STREQUAL "${prefix}/")
      set(found ${level})
      break()
    endif()
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

file(STRINGS "${SOURCE_DIR}/tests/layering_allowed.txt" allowed REGEX "^[^#]")
file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}"
  "${SOURCE_DIR}/base/*.cpp" "${SOURCE_DIR}/base/*.h"
  "${SOURCE_DIR}/engine/*.cpp" "${SOURCE_DIR}/engine/*.h"
  "${SOURCE_DIR}/platform/*.cpp" "${SOURCE_DIR}/platform/*.h"
  "${SOURCE_DIR}/media/*.cpp" "${SOURCE_DIR}/media/*.h"
  "${SOURCE_DIR}/render/*.cpp" "${SOURCE_DIR}/render/*.h"
  "${SOURCE_DIR}/ui/*.cpp" "${SOURCE_DIR}/ui/*.h"
  "${SOURCE_DIR}/starter/*.cpp" "${SOURCE_DIR}/starter/*.h"
  "${SOURCE_DIR}/app/*.cpp" "${SOURCE_DIR}/app/*.h")

set(upward "")
set(seen "")
foreach(source IN LISTS sources)
  floor_of("${source}" own)
  if(own LESS 0)
    continue()
  endif()
  file(STRINGS "${SOURCE_DIR}/${source}" lines REGEX "^[ \t]*#[ \t]*include[ \t]+\"")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]+\"([^\"]+)\".*" "\\1" header "${line}")
    floor_of("${header}" theirs)
    if(theirs GREATER own)
      set(pair "${source} ${header}")
      list(APPEND seen "${pair}")
      if(NOT pair IN_LIST allowed)
        list(APPEND upward "${pair}")
      endif()
    endif()
  endforeach()
endforeach()

foreach(pair IN LISTS allowed)
  if(NOT pair IN_LIST seen)
    message(STATUS "No longer reaches up, remove from tests/layering_allowed.txt: ${pair}")
  endif()
endforeach()
if(upward)
  list(JOIN upward "\n  " text)
  message(FATAL_ERROR "Includes of a higher floor:\n  ${text}\n"
    "A lower floor reaches a higher one through a function or table the higher floor installs at start-up.")
endif()
message(STATUS "No include reaches a higher floor beyond those listed.")
