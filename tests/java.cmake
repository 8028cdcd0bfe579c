# Tests of the Java bridge. kwjava_tests: the peer registry and bridge against a
# recording stand-in for the JNI function table, so also under the sanitizers.
# kwjava_jvm_tests: the same cases against a real Java VM started in the test
# process. Tests needing a VM are labelled "jvm": the sanitizer pass leaves them out.

add_executable(kwjava_tests ${CMAKE_CURRENT_SOURCE_DIR}/java_registry.cpp ${PROJECT_SOURCE_DIR}/module/kwsjava.cpp)
target_link_libraries(kwjava_tests PRIVATE kwvrut40 GTest::gtest GTest::gtest_main)
target_include_directories(kwjava_tests SYSTEM PRIVATE ${JNI_INCLUDE_DIRS})
target_compile_options(kwjava_tests PRIVATE ${KW_WARNINGS})
gtest_discover_tests(kwjava_tests DISCOVERY_TIMEOUT 60)

if(TARGET kwjnilayout AND TARGET kwvrsl40)
  find_package(Java 1.8 REQUIRED COMPONENTS Development)
  include(UseJava)
  set(CMAKE_JAVA_COMPILE_FLAGS -Xlint:all -encoding UTF-8)
  file(GLOB KW_TEST_PEER_SOURCES CONFIGURE_DEPENDS
    ${PROJECT_SOURCE_DIR}/java/test/com/brackwind/jnilayout/*.java)
  add_jar(kwjnilayout_test SOURCES ${KW_TEST_PEER_SOURCES} INCLUDE_JARS kwjnilayout
    OUTPUT_DIR ${PROJECT_BINARY_DIR}/java)
  get_target_property(KW_PEER_JAR kwjnilayout JAR_FILE)
  get_target_property(KW_TEST_PEER_JAR kwjnilayout_test JAR_FILE)

  # The bridge helpers are internal to the module: built in, as for kwjava_tests.
  add_executable(kwjava_jvm_tests ${CMAKE_CURRENT_SOURCE_DIR}/java_jvm.cpp ${PROJECT_SOURCE_DIR}/module/kwsjava.cpp)
  target_link_libraries(kwjava_jvm_tests PRIVATE kwvrsl40 ${JAVA_JVM_LIBRARY} GTest::gtest GTest::gtest_main)
  target_include_directories(kwjava_jvm_tests PRIVATE ${JNI_INCLUDE_DIRS})
  target_compile_options(kwjava_jvm_tests PRIVATE ${KW_WARNINGS})
  target_compile_definitions(kwjava_jvm_tests PRIVATE
    KW_PEER_CLASS_PATH="${KW_PEER_JAR}:${KW_TEST_PEER_JAR}"
    KW_UT_LIBRARY="$<TARGET_FILE:kwvrut40>")
  add_dependencies(kwjava_jvm_tests kwjnilayout kwjnilayout_test)
  gtest_discover_tests(kwjava_jvm_tests DISCOVERY_TIMEOUT 60 PROPERTIES LABELS jvm)

  # The Java API from plain Java programs in their own VM: the documented example, and the API checks.
  add_jar(kwslay_java_checks SOURCES ${PROJECT_SOURCE_DIR}/examples/LayoutExample.java
    ${CMAKE_CURRENT_SOURCE_DIR}/java/SymmetricLayoutCheck.java
    INCLUDE_JARS kwjnilayout OUTPUT_DIR ${PROJECT_BINARY_DIR}/java)
  get_target_property(KW_CHECKS_JAR kwslay_java_checks JAR_FILE)
  foreach(program LayoutExample SymmetricLayoutCheck)
    add_test(NAME java.${program}
      COMMAND ${Java_JAVA_EXECUTABLE} -Xcheck:jni -Djava.library.path=$<TARGET_FILE_DIR:kwvrsl40>
        -cp ${KW_PEER_JAR}:${KW_CHECKS_JAR} ${program})
    set_tests_properties(java.${program} PROPERTIES LABELS jvm)
  endforeach()
  set_tests_properties(java.LayoutExample PROPERTIES
    PASS_REGULAR_EXPRESSION "hub 0 0\na -?[0-9]+ -?[0-9]+\n(.*\n)*e -?[0-9]+ -?[0-9]+\nbends of the two hub-a edges: ([1-9][0-9]* and [0-9]+|0 and [1-9])")
  set_tests_properties(java.SymmetricLayoutCheck PROPERTIES PASS_REGULAR_EXPRESSION "all checks passed")
endif()
