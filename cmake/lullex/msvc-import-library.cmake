# Writes the import library that Visual Studio's linker reads for a built
# lullex.dll (lullex64.dll), and the module-definition file it is made from, out
# of the DLL's own export table: what the DLL exports is what the library offers.
#   cmake -DDLL=<dll> -DOBJDUMP=<objdump> -DDLLTOOL=<llvm-dlltool> -DMACHINE=<i386|i386:x86-64>
#         -DDEF=<out .def> -DLIB=<out .lib> -P msvc-import-library.cmake
# The 32-bit DLL exports each stdcall function twice, as Name@N and as Name (for
# GetProcAddress). The library offers the decorated name only: that is the one a
# Visual Studio compiler emits for a stdcall call (_Name@N), and a plain one would
# let a caller that declared the function without WINAPI link, and then wreck its
# stack at the first call.
foreach(variable DLL OBJDUMP DLLTOOL MACHINE DEF LIB)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "msvc-import-library.cmake needs -D${variable}=...")
  endif()
endforeach()

execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${OBJDUMP} cannot read ${DLL}")
endif()

# The export directory names the DLL; its name table, which ends at the next
# empty line, lists every exported name, one a line: "\t[   3] ScrRun@20".
string(REGEX MATCH "\nName[ \t]+[0-9a-fA-F]+ ([^\n]+)" name_line "${dump}")
set(dll_name "${CMAKE_MATCH_1}")
string(FIND "${dump}" "[Ordinal/Name Pointer] Table" table_start)
set(name_lines)
if(table_start GREATER -1)
  string(SUBSTRING "${dump}" ${table_start} -1 table)
  string(FIND "${table}" "\n\n" table_end)
  string(SUBSTRING "${table}" 0 ${table_end} table)
  string(REGEX MATCHALL "\n\t\\[ *[0-9]+\\] [^\n]+" name_lines "${table}")
endif()
set(names)
foreach(line IN LISTS name_lines)
  string(REGEX REPLACE "^\n\t\\[ *[0-9]+\\] " "" name "${line}")
  list(APPEND names "${name}")
endforeach()
if(dll_name STREQUAL "" OR NOT names)
  message(FATAL_ERROR "${DLL} has no export table")
endif()

set(def "; The names ${dll_name} exports, read from the DLL when it was built.\nLIBRARY ${dll_name}\nEXPORTS\n")
foreach(name IN LISTS names)
  set(decorated ${names})
  list(FILTER decorated INCLUDE REGEX "^${name}@[0-9]+$")
  if(NOT decorated)
    string(APPEND def "    ${name}\n")
  endif()
endforeach()
file(WRITE ${DEF} "${def}")

execute_process(COMMAND ${DLLTOOL} -m ${MACHINE} -d ${DEF} -l ${LIB} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${DLLTOOL} could not write ${LIB} from ${DEF}")
endif()
