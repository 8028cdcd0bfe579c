# Further test executables of the parts that need more than GoogleTest.
foreach(part java cli persist reliability python package)
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${part}.cmake)
    include(${CMAKE_CURRENT_SOURCE_DIR}/${part}.cmake)
  endif()
endforeach()
