# End-to-end tests of the kwslay program: they run the built binary and read
# its outputs back with nlohmann-json, cgraph and libxml2.
if(TARGET kwslay)
  find_package(nlohmann_json 3 REQUIRED)
  file(GLOB KW_CLI_TESTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/cli_*.cpp)
  add_executable(kwslay_cli_tests ${KW_CLI_TESTS})
  target_link_libraries(kwslay_cli_tests PRIVATE kwslaycore nlohmann_json::nlohmann_json GTest::gtest GTest::gtest_main)
  target_compile_options(kwslay_cli_tests PRIVATE ${KW_WARNINGS})
  target_compile_definitions(kwslay_cli_tests PRIVATE KWSLAY_PATH="$<TARGET_FILE:kwslay>"
    KW_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  add_dependencies(kwslay_cli_tests kwslay)
  gtest_discover_tests(kwslay_cli_tests DISCOVERY_TIMEOUT 60 PROPERTIES LABELS cli)
endif()
