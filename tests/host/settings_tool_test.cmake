# Drives settings_tool (under EMULATOR) through separate runs on files in WORK:
# Japanese text from one process to the next, the bytes on disk, deletes, and a
# broken file that is kept as a backup while the program goes on.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
string(REPLACE "/" "\\" windows_work "Z:${WORK}")

# settings(EXPECTED_HEX ARGS...): runs the tool and checks its standard output.
function(settings expected_hex)
  execute_process(COMMAND ${EMULATOR} ${PROGRAM} ${ARGN}
                  OUTPUT_FILE ${WORK}/out.txt ERROR_VARIABLE errors RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "settings_tool ${ARGN} failed (${result}):\n${errors}")
  endif()
  file(READ ${WORK}/out.txt actual HEX)
  if(NOT actual STREQUAL expected_hex)
    message(FATAL_ERROR "settings_tool ${ARGN}: output ${actual}, expected ${expected_hex}")
  endif()
  set(last_errors "${errors}" PARENT_SCOPE)
endfunction()

function(expect_contains haystack needle what)
  string(FIND "${haystack}" "${needle}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${what}: ${needle} not found in ${haystack}")
  endif()
endfunction()

set(file "${windows_work}\\w.config")
# 日本語 is 93fa 967b 8cea in code page 932.
settings("" ${file} set Settings title 日本語 set Win1 top 120 save)
file(READ ${WORK}/w.config bytes HEX)
string(HEX "<?xml version=\"1.0\" encoding=\"Shift-JIS\"?>" declaration)
string(FIND "${bytes}" "${declaration}" at)
if(NOT at EQUAL 0)
  message(FATAL_ERROR "w.config does not begin with the Shift-JIS declaration: ${bytes}")
endif()
expect_contains("${bytes}" "93fa967b8cea" "w.config")

settings("93fa967b8cea0a3132300a6e6f6e650a" ${file} get Settings title - get Win1 top - get Win1 missing none)
settings("747275650a66616c73650a" ${file} delete Win1 top delete Win1 top save)
settings("676f6e650a93fa967b8cea0a" ${file} get Win1 top gone get Settings title -)

# A broken file: reported, kept beside as .bak, and the settings start empty.
file(WRITE ${WORK}/b.config "<configuration><appSettings>")
settings("6b6570740a" "${windows_work}\\b.config" get S k kept)
expect_contains("${last_errors}" "b.config.bak" "the report of the broken file")
file(READ ${WORK}/b.config.bak backup)
if(NOT backup STREQUAL "<configuration><appSettings>")
  message(FATAL_ERROR "b.config.bak holds ${backup}")
endif()
