# Installs the component library for hosts: libVarnex with its public headers (under
# include/varnex), the CMake package (find_package(Varnex), target Varnex::Varnex) and the
# pkg-config file varnex.pc; the programs varnex and varnex-generate; the licence, the notices
# of third-party software and the change log. The Designer plugin installs itself (designer/).
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

# The programs find the library through a RUNPATH relative to their own place, so the installed
# tree can be moved.
file(RELATIVE_PATH VARNEX_BIN_TO_LIB ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
set_target_properties(varnex varnex-generate PROPERTIES
  INSTALL_RPATH "$ORIGIN/${VARNEX_BIN_TO_LIB}")
install(TARGETS varnex varnex-generate RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES
  ${PROJECT_SOURCE_DIR}/LICENSE
  ${PROJECT_SOURCE_DIR}/THIRD-PARTY.md
  ${PROJECT_SOURCE_DIR}/CHANGELOG.md
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/varnex)
