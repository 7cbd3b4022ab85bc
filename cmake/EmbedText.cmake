# Writes a C++ header that holds text files as string constants, so that a program carries them
# without reading anything at run time.
# cmake -DOUTPUT=FILE -DENTRIES="NAME=PATH;NAME=PATH..." -P EmbedText.cmake
set(text "// Made by cmake/EmbedText.cmake from the files named below; edit those instead.\n#pragma once\n")
foreach(entry IN LISTS ENTRIES)
  string(REGEX MATCH "^([A-Za-z_][A-Za-z0-9_]*)=(.+)$" matched "${entry}")
  if(NOT matched)
    message(FATAL_ERROR "EmbedText: '${entry}' is not NAME=PATH")
  endif()
  set(name "${CMAKE_MATCH_1}")
  set(path "${CMAKE_MATCH_2}")
  file(READ "${path}" content)
  # The raw string's delimiter must not occur in what it holds.
  string(FIND "${content}" ")embedded\"" clash)
  if(NOT clash EQUAL -1)
    message(FATAL_ERROR "EmbedText: ${path} holds the raw string delimiter )embedded\"")
  endif()
  get_filename_component(file_name "${path}" NAME)
  string(APPEND text "\n// ${file_name}\ninline constexpr char ${name}[] = R\"embedded(${content})embedded\";\n")
endforeach()
# Rewritten only when it changes, so that a rebuild compiles nothing more.
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" old)
endif()
if(NOT "${old}" STREQUAL "${text}")
  file(WRITE "${OUTPUT}" "${text}")
endif()
