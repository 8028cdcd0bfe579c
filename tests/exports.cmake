# What libkwvrsl40 exports: the module's classes, the factory entry points,
# KWSLayout and the Java natives, each present; nothing else of ours (routing
# helpers, descent kernels, bridge helpers, inline copies of host classes).
# Template code of the standard library that the exported members use may
# appear as weak symbols. Run as: cmake -DLIBRARY=... -P exports.cmake
cmake_minimum_required(VERSION 3.20)
execute_process(COMMAND nm -DC --defined-only ${LIBRARY} OUTPUT_VARIABLE syms RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
set(classes KWSLayoutFactory KWSGraph KWSNode KWSEdge KWSGraphLayInfo KWSNodeLayInfo KWSEdgeLayInfo
  KWOneDArray KWTwoDArray KWSGraphTailor KWSNodeTailor KWSEdgeTailor KWSGraphFileExtension
  KWSModelFileExtension KWSLayout)
set(functions newSLayFactory newSLayFactoryTRUE newSLayFactorytrue newSLayFactory1 deleteSLayoutFactory)
string(REPLACE "\n" ";" lines "${syms}")
set(seen "")
foreach(line IN LISTS lines)
  if(line STREQUAL "")
    continue()
  endif()
  # "<address> <type> <name>": the name, without the typeinfo/vtable words.
  string(REGEX REPLACE "^[0-9a-f]+ [A-Za-z] " "" name "${line}")
  string(REGEX REPLACE "^(typeinfo name for|typeinfo for|vtable for|VTT for|non-virtual thunk to|virtual thunk to) " "" name "${name}")
  # Standard-library template code, with or without a return type in front.
  string(REGEX MATCH "^[^(]*std::[A-Za-z_]" stdcode "${name}")
  if(stdcode)
    continue()
  endif()
  string(REGEX REPLACE "^(const )?([A-Za-z_][A-Za-z0-9_]*).*" "\\2" owner "${name}")
  if(owner STREQUAL "std" OR owner STREQUAL "void" OR owner STREQUAL "bool" OR owner MATCHES "^Java_com_brackwind_jnilayout_")
    continue()
  endif()
  if(NOT owner IN_LIST classes AND NOT owner IN_LIST functions)
    message(FATAL_ERROR "libkwvrsl40 exports an internal symbol: ${name}")
  endif()
  list(APPEND seen ${owner})
endforeach()
foreach(expected IN LISTS classes functions)
  if(NOT expected IN_LIST seen)
    message(FATAL_ERROR "libkwvrsl40 does not export ${expected}")
  endif()
endforeach()
