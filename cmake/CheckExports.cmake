# cmake -DLIBRARY=<file> -DLIST=<list>[,<list>...] -DFORMAT=<elf|pe|importlib>
#       -DTOOL=<nm|objdump|llvm-nm> -P CheckExports.cmake
# Compares what a built library exports with the lists kept in the repository
# (exports.txt and exports-ext.txt) and names every export that is missing or
# not listed.
#
# ELF: the strong global symbols of the dynamic table (nm -D types T, D, B,
# R). Weak and unique symbols are template code from the C++ standard library
# that the linker makes visible; no host calls them. PE: the name table of the
# export directory (objdump -p). IMPORTLIB: the __imp_ symbols of an MSVC
# import library (llvm-nm), which holds the C functions only: the C++ names
# (GCC's mangling, _Z...) are not expected there.
foreach(variable IN ITEMS LIBRARY LIST FORMAT TOOL)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "CheckExports.cmake needs -D${variable}=...")
  endif()
endforeach()

string(REPLACE "," ";" listFiles "${LIST}")
set(listed "")
foreach(listFile IN LISTS listFiles)
  file(STRINGS ${listFile} names REGEX "^[^#]")
  list(APPEND listed ${names})
endforeach()
list(TRANSFORM listed STRIP)
list(REMOVE_ITEM listed "")
if(FORMAT STREQUAL "importlib")
  list(FILTER listed EXCLUDE REGEX "^_Z")
endif()

if(FORMAT STREQUAL "elf")
  set(arguments -D --defined-only)
elseif(FORMAT STREQUAL "importlib")
  set(arguments "")
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
  elseif(FORMAT STREQUAL "importlib")
    if(line MATCHES " __imp_([A-Za-z0-9_]+)$")
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
set(listName "")
foreach(listFile IN LISTS listFiles)
  get_filename_component(fileName ${listFile} NAME)
  list(APPEND listName ${fileName})
endforeach()
list(JOIN listName " + " listName)
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
