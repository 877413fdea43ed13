# What cmake --install puts where, by component:
#   runtime      the shared library (and the udev rule, as documentation)
#   development  the headers, the link-time library, the CMake package and
#                the pkg-config file
#   tools        mdioctl with its man page and bash completion
#   bench        the simulated bench, in its private folder
# Every installed path is relative to the prefix, and the programs find
# their libraries relative to themselves, so an install can be moved.
include(CMakePackageConfigHelpers)

set(_pcdir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

if(NOT WIN32)
  # The soname carries the major version: libmdiohost.so.0.
  set_target_properties(mdiohost PROPERTIES VERSION ${PROJECT_VERSION}
                                            SOVERSION ${PROJECT_VERSION_MAJOR})
endif()
install(TARGETS mdiohost EXPORT mdiohostTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime
          NAMELINK_COMPONENT development
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${PROJECT_SOURCE_DIR}/include/mdiohost.h ${PROJECT_SOURCE_DIR}/include/mdiohost_ext.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT development)

install(EXPORT mdiohostTargets NAMESPACE mdiohost:: DESTINATION ${MDIOHOST_INSTALL_CMAKEDIR}
  COMPONENT development)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/mdiohostConfig.cmake.in
  ${PROJECT_BINARY_DIR}/mdiohostConfig.cmake INSTALL_DESTINATION ${MDIOHOST_INSTALL_CMAKEDIR})
# The soname changes with the major version, and so may the interface.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/mdiohostConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/mdiohostConfig.cmake
              ${PROJECT_BINARY_DIR}/mdiohostConfigVersion.cmake
  DESTINATION ${MDIOHOST_INSTALL_CMAKEDIR} COMPONENT development)

cmake_path(RELATIVE_PATH CMAKE_INSTALL_PREFIX BASE_DIRECTORY ${CMAKE_INSTALL_PREFIX}/${_pcdir}
           OUTPUT_VARIABLE MDIOHOST_PREFIX_FROM_PCDIR)
string(REGEX REPLACE "/$" "" MDIOHOST_PREFIX_FROM_PCDIR "${MDIOHOST_PREFIX_FROM_PCDIR}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/mdiohost.pc.in ${PROJECT_BINARY_DIR}/mdiohost.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/mdiohost.pc DESTINATION ${_pcdir} COMPONENT development)

if(WIN32)
  install(FILES ${MDIOHOST_MSVC_IMPORT_LIBRARY} DESTINATION ${CMAKE_INSTALL_LIBDIR}
    COMPONENT development)
else()
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/60-mdiohost-ftdi.rules
    DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT runtime)
endif()

if(MDIOHOST_BUILD_TOOLS)
  set_target_properties(mdioctl PROPERTIES INSTALL_RPATH "$ORIGIN/${MDIOHOST_LIBDIR_FROM_BINDIR}")
  install(TARGETS mdioctl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tools)
  if(NOT WIN32)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/mdioctl.1
      DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT tools)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/mdioctl.bash-completion
      DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME mdioctl
      COMPONENT tools)
  endif()
endif()

if(WIN32)
  # Only under the driver's own name: that is what a D2XX host loads.
  install(FILES $<TARGET_FILE:mdiosim> DESTINATION ${MDIOHOST_INSTALL_SIMDIR}
    RENAME ${MDIOHOST_INSTALLED_SIM_NAME} COMPONENT bench)
else()
  install(TARGETS mdiosim LIBRARY DESTINATION ${MDIOHOST_INSTALL_SIMDIR} COMPONENT bench)
  # The bench again under the vendor's file name and soname, for programs
  # linked against the vendor's library (LD_LIBRARY_PATH=<prefix>/lib/mdiohost/sim).
  install(TARGETS mdiosim_ftd2xx LIBRARY DESTINATION ${MDIOHOST_INSTALL_SIMDIR} COMPONENT bench)
endif()
unset(_pcdir)
