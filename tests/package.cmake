# The installed package and the source tree used from another project (see
# consumer.cmake). Installs, so it shares the install lock with the Python
# install test.
if(KW_INSTALL AND NOT KW_SANITIZE)
  add_test(NAME package.consumer
    COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${PROJECT_BINARY_DIR} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
      -DCXX=${CMAKE_CXX_COMPILER} -P ${CMAKE_CURRENT_SOURCE_DIR}/consumer.cmake)
  set_tests_properties(package.consumer PROPERTIES LABELS package RESOURCE_LOCK install TIMEOUT 900)
endif()

# A sanitizer build adds exported instrumentation symbols of its own.
if(NOT KW_SANITIZE)
  add_test(NAME package.exports
    COMMAND ${CMAKE_COMMAND} -DLIBRARY=$<TARGET_FILE:kwvrsl40> -P ${CMAKE_CURRENT_SOURCE_DIR}/exports.cmake)
  set_tests_properties(package.exports PROPERTIES LABELS package)
endif()
