# cmake -DLIBRARY=<file> -DLIST=<exports.txt> -DFORMAT=<elf|pe> -DTOOL=<nm|objdump> -P CheckExports.cmake
# Compares what a built library exports with the list kept in the repository
# and names every export that is missing or not listed.
#
# ELF: the strong global symbols of the dynamic table (nm -D types T, D, B,
# R). Weak and unique symbols are template code from the C++ standard library
# that the linker makes visible; no host calls them. PE: the name table of the
# export directory (objdump -p).
foreach(variable IN ITEMS LIBRARY LIST FORMAT TOOL)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "CheckExports.cmake needs -D${variable}=...")
  endif()
endforeach()

file(STRINGS ${LIST} listed REGEX "^[^#]")
list(TRANSFORM listed STRIP)
list(REMOVE_ITEM listed "")

if(FORMAT STREQUAL "elf")
  set(arguments -D --defined-only)
else()
  set(arguments -p)
endif()
execute_process(COMMAND ${TOOL} ${arguments} ${LIBRARY}
  OUTPUT_VARIABLE output RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${TOOL} failed on ${LIBRARY}: ${errors}")
endif()

string(REPLACE "\n" ";" lines "${output}")
set(exported "")
set(inNameTable FALSE)
foreach(line IN LISTS lines)
  if(FORMAT STREQUAL "elf")
    if(line MATCHES "^[0-9a-fA-F]+ [TDBR] (.+)$")
      list(APPEND exported "${CMAKE_MATCH_1}")
    endif()
  elseif(line MATCHES "Ordinal/Name Pointer\\] Table")
    set(inNameTable TRUE)
  elseif(inNameTable)
    if(line MATCHES "^[ \t]*\\[ *[0-9]+\\] (.+)$")
      list(APPEND exported "${CMAKE_MATCH_1}")
    else()
      set(inNameTable FALSE)
    endif()
  endif()
endforeach()

set(missing ${listed})
list(REMOVE_ITEM missing ${exported})
set(unexpected ${exported})
list(REMOVE_ITEM unexpected ${listed})
get_filename_component(name ${LIBRARY} NAME)
get_filename_component(listName ${LIST} NAME)
set(problems "")
if(missing)
  list(JOIN missing " " text)
  string(APPEND problems "${name} lacks exports listed in ${listName}: ${text}\n")
endif()
if(unexpected)
  list(JOIN unexpected " " text)
  string(APPEND problems "${name} exports what ${listName} does not list "
                         "(add it there if it is meant to be exported): ${text}\n")
endif()
if(problems)
  message(FATAL_ERROR "${problems}")
endif()
list(LENGTH exported count)
message(STATUS "${name}: the ${count} exports of ${listName}")
