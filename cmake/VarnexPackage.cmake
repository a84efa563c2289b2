# Installs the component library for hosts: libVarnex with its public headers (under
# include/varnex), the CMake package (find_package(Varnex), target Varnex::Varnex) and the
# pkg-config file varnex.pc.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(VARNEX_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Varnex)

install(TARGETS Varnex EXPORT VarnexTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/varnex)
install(EXPORT VarnexTargets
  NAMESPACE Varnex::
  FILE VarnexTargets.cmake
  DESTINATION ${VARNEX_CMAKE_DIR})

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/VarnexConfig.cmake.in
  ${PROJECT_BINARY_DIR}/package/VarnexConfig.cmake
  INSTALL_DESTINATION ${VARNEX_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/package/VarnexConfigVersion.cmake
  VERSION ${PROJECT_VERSION}
  COMPATIBILITY SameMajorVersion)
install(FILES
  ${PROJECT_BINARY_DIR}/package/VarnexConfig.cmake
  ${PROJECT_BINARY_DIR}/package/VarnexConfigVersion.cmake
  DESTINATION ${VARNEX_CMAKE_DIR})

# The .pc file finds its prefix from its own place, so the installed tree can be moved.
string(REGEX REPLACE "[^/]+" ".." VARNEX_PC_TO_PREFIX "${CMAKE_INSTALL_LIBDIR}/pkgconfig")
configure_file(${PROJECT_SOURCE_DIR}/cmake/varnex.pc.in ${PROJECT_BINARY_DIR}/package/varnex.pc
  @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/package/varnex.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
