# Where an install puts each part (GNUInstallDirs, all relative to the
# prefix, so an installed tree can be moved or unpacked anywhere).
#
# The simulated bench is a stand-in for the vendor's driver library; it lives
# in a private folder of its own, never on the default library search path,
# so it can never shadow a real driver. On Windows that folder is a
# sub-folder beside the programs, so the bench's FTD2XX.dll is never found
# next to a host by accident.
include(GNUInstallDirs)

if(WIN32)
  set(MDIOHOST_INSTALL_SIMDIR ${CMAKE_INSTALL_BINDIR}/sim)
  set(MDIOHOST_INSTALLED_SIM_NAME FTD2XX.dll)
else()
  set(MDIOHOST_INSTALL_SIMDIR ${CMAKE_INSTALL_LIBDIR}/mdiohost/sim)
  set(MDIOHOST_INSTALLED_SIM_NAME libmdiosim.so)
endif()
set(MDIOHOST_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/mdiohost)

# mdioctl finds the bench, and its library, from its own folder.
cmake_path(RELATIVE_PATH MDIOHOST_INSTALL_SIMDIR BASE_DIRECTORY ${CMAKE_INSTALL_BINDIR}
           OUTPUT_VARIABLE MDIOHOST_SIMDIR_FROM_BINDIR)
cmake_path(RELATIVE_PATH CMAKE_INSTALL_LIBDIR BASE_DIRECTORY ${CMAKE_INSTALL_BINDIR}
           OUTPUT_VARIABLE MDIOHOST_LIBDIR_FROM_BINDIR)
