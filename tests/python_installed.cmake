# Installs the build into a fresh prefix and imports kwslay from there alone:
# the package must be complete and its native layer must find the installed
# libraries, not the build tree's.
set(prefix ${BUILD_DIR}/python-install-test)
file(REMOVE_RECURSE ${prefix})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
  OUTPUT_QUIET RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${rc})")
endif()
if(IS_ABSOLUTE ${PACKAGE_DIR})
  message(STATUS "package folder ${PACKAGE_DIR} is absolute: not checked in a test prefix")
  return()
endif()
set(check [=[
import sys, kwslay, networkx as nx
prefix = sys.argv[1]
assert kwslay.__file__.startswith(prefix), kwslay.__file__
libs = [l.split()[-1] for l in open('/proc/self/maps') if 'libkwvrsl40' in l]
assert libs and all(l.startswith(prefix) for l in libs), libs
pos = kwslay.layout(nx.petersen_graph())
assert sorted(pos) == list(range(10)), pos
print(pos)
]=])
execute_process(COMMAND ${CMAKE_COMMAND} -E env PYTHONPATH=${prefix}/${PACKAGE_DIR} LD_LIBRARY_PATH=
  ${PYTHON} -c "${check}" ${prefix} RESULT_VARIABLE rc)
file(REMOVE_RECURSE ${prefix})
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the installed module failed (${rc})")
endif()
