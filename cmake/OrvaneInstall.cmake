# The installed include directory reaches consumers through the target's
# $<INSTALL_INTERFACE> entry alone; an INCLUDES DESTINATION here would list
# it a second time in the targets file.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(TARGETS orvane EXPORT orvaneTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/orvane
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(EXPORT orvaneTargets NAMESPACE orvane::
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/orvane)

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/orvaneConfig.cmake.in
  ${PROJECT_BINARY_DIR}/orvaneConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/orvane)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/orvaneConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/orvaneConfig.cmake
              ${PROJECT_BINARY_DIR}/orvaneConfigVersion.cmake
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/orvane)
