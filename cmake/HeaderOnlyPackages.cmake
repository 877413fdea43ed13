# Cross builds only: makes Debian's header-only CLI11 and nlohmann-json usable
# from the Windows build without putting the build machine's /usr/include on
# the include path (that would pull Linux system headers into a Windows
# compile).
#
# The packages' own CMake config files are copied into the build tree next to
# an include directory that holds nothing but links to those two header
# trees. The config files locate their headers relative to themselves, so
# find_package(CLI11) and find_package(nlohmann_json) then work unchanged.
set(_stage ${CMAKE_BINARY_DIR}/header-only-packages)
file(MAKE_DIRECTORY ${_stage}/include ${_stage}/share/cmake)

foreach(_entry IN ITEMS "CLI11;CLI" "nlohmann_json;nlohmann")
  list(GET _entry 0 _package)
  list(GET _entry 1 _headers)
  if(EXISTS /usr/share/cmake/${_package} AND EXISTS /usr/include/${_headers})
    file(COPY /usr/share/cmake/${_package} DESTINATION ${_stage}/share/cmake)
    file(CREATE_LINK /usr/include/${_headers} ${_stage}/include/${_headers} SYMBOLIC)
    set(${_package}_DIR ${_stage}/share/cmake/${_package} CACHE PATH "" FORCE)
  endif()
endforeach()
unset(_stage)
