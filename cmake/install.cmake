# Install rules: the five libraries, the public headers under include/kwslay
# (included as "host/...", "module/kwslayout.h"), the CMake package
# (find_package(kwslay) -> kwslay::kwslay) and the pkg-config file kwslay.pc.
# The tool, the jar and the Python package install from their own folders.
include(CMakePackageConfigHelpers)

set(KW_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/kwslay)

install(TARGETS kwvrut40 kwvrag40 kwvrdg40 kwvrbl40 kwvrsl40 kwslay_library EXPORT kwslayTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${KW_INCLUDE_DIR})
install(EXPORT kwslayTargets NAMESPACE kwslay:: DESTINATION ${KW_CMAKE_DIR})

# Every header of the host layer and the module: the module's classes are
# public, and their headers include the host's (and the graph tailor's the
# table of its settings, kwsgrset.def).
foreach(dir host data tailor layout persist module)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/${dir}/ DESTINATION ${KW_INCLUDE_DIR}/${dir}
    FILES_MATCHING PATTERN "*.h" PATTERN "*.def")
endforeach()

configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/kwslayConfig.cmake.in
  ${PROJECT_BINARY_DIR}/kwslayConfig.cmake INSTALL_DESTINATION ${KW_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/kwslayConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/kwslayConfig.cmake ${PROJECT_BINARY_DIR}/kwslayConfigVersion.cmake
  DESTINATION ${KW_CMAKE_DIR})

# pkg-config paths relative to the file's own place, so the prefix can move.
file(RELATIVE_PATH KW_PC_TO_PREFIX /p/${CMAKE_INSTALL_LIBDIR}/pkgconfig /p)
configure_file(${CMAKE_CURRENT_LIST_DIR}/kwslay.pc.in ${PROJECT_BINARY_DIR}/kwslay.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/kwslay.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
