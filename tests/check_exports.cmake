cmake_minimum_required(VERSION 3.25)
# Compares the defined dynamic symbols of a shared library with the names listed,
# blank-separated, in the file EXPECTED.
file(READ ${EXPECTED} expected_text)
string(REGEX REPLACE "[ \t\r\n]+" ";" expected "${expected_text}")
list(FILTER expected EXCLUDE REGEX "^$")
# Symbols the linker itself may define in any shared object.
set(linker_symbols _init _fini _edata _end __bss_start)

execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY}
                OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${LIBRARY}")
endif()

string(REPLACE "\n" ";" lines "${listing}")
set(found)
foreach(line IN LISTS lines)
  # "<address> <type> <name>[@version]"
  if(line MATCHES "^[0-9a-fA-F]* *[A-Za-z] ([^@ ]+)")
    set(name ${CMAKE_MATCH_1})
    if(NOT name IN_LIST linker_symbols)
      list(APPEND found ${name})
    endif()
  endif()
endforeach()
list(SORT found)
list(SORT expected)
if(NOT found STREQUAL expected)
  message(FATAL_ERROR "exported: ${found}\nexpected: ${expected}")
endif()
message(STATUS "exports: ${found}")
