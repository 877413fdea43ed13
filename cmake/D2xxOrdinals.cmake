# mdiohost_d2xx_ordinals(<target> [ALL] [WITHOUT <function>...])
# On Windows, makes a D2XX-compatible DLL export its functions under the
# vendor's ordinals (cmake/FTD2XX.def) as well as by name: the functions
# mdiohost uses, and with ALL also those the simulated bench adds for other
# D2XX programs. WITHOUT leaves functions out, for libraries that
# deliberately lack them. Elsewhere it does nothing: shared objects export by
# name only.
function(mdiohost_d2xx_ordinals target)
  if(NOT WIN32)
    return()
  endif()
  cmake_parse_arguments(ARG "ALL" "" "WITHOUT" ${ARGN})
  file(STRINGS ${PROJECT_SOURCE_DIR}/cmake/FTD2XX.def lines)
  set(content "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^; The calls only the simulated bench adds" AND NOT ARG_ALL)
      break()
    endif()
    string(REGEX MATCH "^[ \t]+([A-Za-z_]+)[ \t]+@" matched "${line}")
    if(matched AND CMAKE_MATCH_1 IN_LIST ARG_WITHOUT)
      continue()
    endif()
    string(APPEND content "${line}\n")
  endforeach()
  set(def ${CMAKE_CURRENT_BINARY_DIR}/${target}.def)
  # Rewritten only when it changes, so an unchanged file does not relink.
  file(WRITE ${def}.new "${content}")
  configure_file(${def}.new ${def} COPYONLY)
  target_sources(${target} PRIVATE ${def})
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${PROJECT_SOURCE_DIR}/cmake/FTD2XX.def)
endfunction()
