# Runs PROGRAM (under EMULATOR) on INPUT, a Linux path handed over as a Windows
# path, and compares its standard output, stored in ACTUAL, byte for byte with
# the file EXPECTED.
string(REPLACE "/" "\\" windows_input "Z:${INPUT}")
execute_process(COMMAND ${EMULATOR} ${PROGRAM} ${windows_input}
                OUTPUT_FILE ${ACTUAL} ERROR_VARIABLE errors RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} ${windows_input} failed (${result}):\n${errors}")
endif()
file(READ ${ACTUAL} actual HEX)
file(READ ${EXPECTED} expected HEX)
if(NOT actual STREQUAL expected)
  message(FATAL_ERROR "the output in ${ACTUAL} differs from ${EXPECTED}")
endif()
