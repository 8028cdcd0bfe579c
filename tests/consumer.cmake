# Builds and runs the README's library example the three ways a user takes
# kwslay in: find_package on an installed prefix, pkg-config on the same
# prefix, and add_subdirectory of the source tree. The compilers see no JDK
# include path and no library beyond what the package names, so a public
# header that needs jni.h, or a missing transitive library, fails here.
# Run as: cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DCXX=... -P consumer.cmake
set(work ${BUILD_DIR}/consumer-test)
file(REMOVE_RECURSE ${work})
set(prefix ${work}/prefix)

function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${what} failed (${rc}):\n${out}\n${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

# The example as the README shows it: the first C++ block of "As a library".
file(READ ${SOURCE_DIR}/README.md readme)
string(FIND "${readme}" "## As a library" at)
string(SUBSTRING "${readme}" ${at} -1 readme)
string(FIND "${readme}" "```cpp\n" begin)
math(EXPR begin "${begin} + 7")
string(SUBSTRING "${readme}" ${begin} -1 readme)
string(FIND "${readme}" "```" end)
string(SUBSTRING "${readme}" 0 ${end} example)
file(WRITE ${work}/app.cpp "${example}")

# Three nodes named a, b, c, each with two whole coordinates; a is pinned at
# its start (0, 0).
function(check_output how)
  run("${how}: running the example" ${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=${prefix}/lib ${ARGN})
  if(NOT out MATCHES "^a 0 0\nb -?[0-9]+ -?[0-9]+\nc -?[0-9]+ -?[0-9]+\n$" OR out MATCHES "b 0 0")
    message(FATAL_ERROR "${how}: unexpected output:\n${out}")
  endif()
endfunction()

run("install" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

run("find_package: configure" ${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/consumer -B ${work}/package -G Ninja
  -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_PREFIX_PATH=${prefix} -DAPP_SOURCE=${work}/app.cpp)
run("find_package: build" ${CMAKE_COMMAND} --build ${work}/package)
check_output(find_package ${work}/package/app)

file(GLOB pcdir ${prefix}/lib*/pkgconfig ${prefix}/lib/*/pkgconfig)
run("pkg-config" ${CMAKE_COMMAND} -E env PKG_CONFIG_PATH=${pcdir} pkg-config --cflags --libs kwslay)
separate_arguments(flags UNIX_COMMAND "${out}")
run("pkg-config: build" ${CXX} ${work}/app.cpp -o ${work}/app-pc ${flags})
check_output(pkg-config ${work}/app-pc)

run("add_subdirectory: configure" ${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/consumer -B ${work}/subdir -G Ninja
  -DCMAKE_CXX_COMPILER=${CXX} -DKWSLAY_SOURCE=${SOURCE_DIR} -DAPP_SOURCE=${work}/app.cpp)
run("add_subdirectory: build" ${CMAKE_COMMAND} --build ${work}/subdir)
check_output(add_subdirectory ${work}/subdir/app)
file(REMOVE_RECURSE ${work})
