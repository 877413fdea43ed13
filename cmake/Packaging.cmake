# cpack in a Linux build tree makes three Debian packages; in the Windows
# cross build tree, one zip with everything.
#   libmdiohost0     the shared library
#   libmdiohost-dev  headers, CMake package, pkg-config file
#   mdiohost-tools   mdioctl and the simulated bench
# Dependencies on system libraries are computed by dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME mdiohost)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_CONTACT "mdiohost maintainers <mdiohost@localhost>")
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_COMPONENTS_ALL runtime development tools bench)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME mdiohost-${PROJECT_VERSION}-win64)
  set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
  set(_exact "(= ${PROJECT_VERSION})")

  set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libmdiohost${PROJECT_VERSION_MAJOR})
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
  # A shlibs file, so packages built against this one depend on it.
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_GENERATE_SHLIBS ON)

  set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libmdiohost-dev)
  set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
  set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "libmdiohost${PROJECT_VERSION_MAJOR} ${_exact}")

  # mdioctl and the bench travel together: the bench is what --sim runs.
  set(CPACK_COMPONENTS_GROUPING ONE_PER_GROUP)
  set(CPACK_COMPONENT_TOOLS_GROUP tools)
  set(CPACK_COMPONENT_BENCH_GROUP tools)
  set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME mdiohost-tools)
  set(CPACK_DEBIAN_TOOLS_PACKAGE_DEPENDS "libmdiohost${PROJECT_VERSION_MAJOR} ${_exact}")
  # mdioctl needs libmdiohost.so.0, which is in another of these packages and
  # not installed yet: dpkg-shlibdeps finds it in the build tree (the
  # dependency on it is the one written above).
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/src)
  unset(_exact)
endif()
include(CPack)
