# mdiohost.lib: an import library of mdiohost.dll that MSVC's linker takes,
# so MSVC host programs link the C functions (mingw programs use
# libmdiohost.dll.a). It is made from a module definition file written from
# exports.txt and exports-ext.txt. The two C++ functions are left out: their
# names are GCC's mangling, which MSVC code can neither spell nor call.
# llvm-dlltool writes the short import format that MSVC's own tools write.
find_program(MDIOHOST_DLLTOOL NAMES llvm-dlltool llvm-dlltool-14 REQUIRED)
# The tests read the library back with it.
find_program(MDIOHOST_LLVM_NM NAMES llvm-nm llvm-nm-14 REQUIRED)

set(_def ${PROJECT_BINARY_DIR}/mdiohost.def)
set(_lists ${PROJECT_SOURCE_DIR}/exports.txt ${PROJECT_SOURCE_DIR}/exports-ext.txt)
set(_content "LIBRARY mdiohost.dll\nEXPORTS\n")
foreach(_list IN LISTS _lists)
  file(STRINGS ${_list} _names REGEX "^[A-Za-z_]")
  foreach(_name IN LISTS _names)
    string(STRIP "${_name}" _name)
    if(NOT _name MATCHES "^_Z")
      string(APPEND _content "  ${_name}\n")
    endif()
  endforeach()
endforeach()
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_lists})
# Rewritten only when it changes, so an unchanged list does not rebuild.
file(WRITE ${_def}.new "${_content}")
configure_file(${_def}.new ${_def} COPYONLY)

set(MDIOHOST_MSVC_IMPORT_LIBRARY ${PROJECT_BINARY_DIR}/mdiohost.lib)
add_custom_command(OUTPUT ${MDIOHOST_MSVC_IMPORT_LIBRARY}
  COMMAND ${MDIOHOST_DLLTOOL} -m i386:x86-64 -d ${_def} -l ${MDIOHOST_MSVC_IMPORT_LIBRARY}
  DEPENDS ${_def}
  COMMENT "Making the MSVC import library mdiohost.lib")
add_custom_target(mdiohost_msvc_import_library ALL DEPENDS ${MDIOHOST_MSVC_IMPORT_LIBRARY})
unset(_def)
unset(_lists)
unset(_content)
