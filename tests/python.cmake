# Tests of the Python module kwslay, run by Debian's pytest with the build
# tree's python/ folder on the module path; and one run of the installed
# module from a fresh install prefix. Not in sanitizer builds: an
# uninstrumented interpreter cannot load instrumented libraries.
if(TARGET kwslay_python AND NOT KW_SANITIZE)
  add_test(NAME python.module
    COMMAND ${Python_EXECUTABLE} -m pytest -q -p no:cacheprovider ${PROJECT_SOURCE_DIR}/python/tests)
  set_tests_properties(python.module PROPERTIES
    ENVIRONMENT "PYTHONPATH=${PROJECT_BINARY_DIR}/python" LABELS python)
  add_test(NAME python.installed
    COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${PROJECT_BINARY_DIR} -DPYTHON=${Python_EXECUTABLE}
      -DPACKAGE_DIR=${KW_PYTHON_INSTALL_DIR} -P ${CMAKE_CURRENT_SOURCE_DIR}/python_installed.cmake)
  set_tests_properties(python.installed PROPERTIES LABELS python RESOURCE_LOCK install)
endif()
