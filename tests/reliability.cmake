# The fuzz targets without libFuzzer: each target's sources with a small
# driver that replays files (fuzz/replay_main.cpp). One test per target runs
# its regression inputs (fuzz/regressions/<target>, every input a fuzzer ever
# found a fault with) and its seed corpus (fuzz/corpus/<target>); a broken
# invariant aborts, and under KW_SANITIZE every sanitizer report fails.
foreach(t oml model dot graphml layout)
  if((t STREQUAL "dot" OR t STREQUAL "graphml") AND NOT TARGET kwslaycore)
    continue()
  endif()
  add_executable(kwfuzz_replay_${t} ${PROJECT_SOURCE_DIR}/fuzz/fuzz_${t}.cpp ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
  target_include_directories(kwfuzz_replay_${t} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_options(kwfuzz_replay_${t} PRIVATE ${KW_WARNINGS})
  if(t STREQUAL "dot" OR t STREQUAL "graphml")
    target_link_libraries(kwfuzz_replay_${t} PRIVATE kwslaycore)
  else()
    target_link_libraries(kwfuzz_replay_${t} PRIVATE kwvrsl40)
  endif()
  add_test(NAME fuzz_regressions_${t}
           COMMAND kwfuzz_replay_${t} ${PROJECT_SOURCE_DIR}/fuzz/regressions/${t} ${PROJECT_SOURCE_DIR}/fuzz/corpus/${t})
  set_tests_properties(fuzz_regressions_${t} PROPERTIES LABELS fuzz TIMEOUT 300)
endforeach()

# Hostile files for kwslay's readers and hostile names for its writers.
if(TARGET kwslaycore)
  find_package(nlohmann_json 3 REQUIRED)
  add_executable(kwhostile_tests ${PROJECT_SOURCE_DIR}/fuzz/hostile_test.cpp)
  target_include_directories(kwhostile_tests PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(kwhostile_tests PRIVATE kwslaycore nlohmann_json::nlohmann_json GTest::gtest GTest::gtest_main)
  target_compile_options(kwhostile_tests PRIVATE ${KW_WARNINGS})
  gtest_discover_tests(kwhostile_tests DISCOVERY_TIMEOUT 60)
endif()
