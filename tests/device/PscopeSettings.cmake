# Drives `pscope settings` end to end on a fresh card folder:
#   cmake -DPSCOPE=... [-DEMULATOR=...] -DCARD=<folder> -DCARD_ARG=<folder as pscope sees it> -P PscopeSettings.cmake
file(REMOVE_RECURSE "${CARD}")
file(MAKE_DIRECTORY "${CARD}")

function(pscope expected_code out_var)
  execute_process(COMMAND ${EMULATOR} ${PSCOPE} ${ARGN}
                  RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT code EQUAL expected_code)
    message(FATAL_ERROR "pscope ${ARGN}: exit ${code}, expected ${expected_code}\n${out}\n${err}")
  endif()
  set(${out_var} "${out}" PARENT_SCOPE)
  set(${out_var}_ERR "${err}" PARENT_SCOPE)
endfunction()

function(expect what actual wanted)
  if(NOT "${actual}" STREQUAL "${wanted}")
    message(FATAL_ERROR "${what}:\n--- got\n${actual}\n--- wanted\n${wanted}")
  endif()
endfunction()

# Nothing on the card yet: both files unreadable, exit 1, nothing printed on stdout.
pscope(1 out settings show "${CARD_ARG}")
expect("empty card" "${out}" "")
if(NOT out_ERR MATCHES "KORA.INI" OR NOT out_ERR MATCHES "FIRMINFO.DAT")
  message(FATAL_ERROR "failures not named on stderr: ${out_ERR}")
endif()

pscope(0 out settings set "${CARD_ARG}" --buzzer on --clock "2010-03-05 14:07")
pscope(0 out settings set "${CARD_ARG}" --mode long)
# A card the recorder has not run on yet has no firmware information file: the settings
# are listed, the missing file is named on stderr, and that is no failure.
pscope(0 out settings show "${CARD_ARG}")
expect("after set" "${out}" "KORA.INI 1801 00ffffffff 19\nKORA.INI 0101 1003051407 05\nKORA.INI 0306 01ffffffff 04\n")
if(NOT out_ERR MATCHES "FIRMINFO.DAT")
  message(FATAL_ERROR "the missing file not named on stderr: ${out_ERR}")
endif()
# A firmware information file that is there but cannot be read is a failure; the
# settings are listed all the same.
file(WRITE "${CARD}/FIRMINFO.DAT" "short")
pscope(1 out settings show "${CARD_ARG}")
expect("unreadable firmware information" "${out}" "KORA.INI 1801 00ffffffff 19\nKORA.INI 0101 1003051407 05\nKORA.INI 0306 01ffffffff 04\n")
file(REMOVE "${CARD}/FIRMINFO.DAT")

# Wrong usage changes nothing.
pscope(2 out settings set "${CARD_ARG}")
pscope(2 out settings set "${CARD_ARG}" --buzzer loud)
pscope(2 out settings set "${CARD_ARG}" --clock "2010-3-5 14:07")
pscope(2 out settings set "${CARD_ARG}" --defaults --buzzer on)
# A date that does not exist is refused before anything is written.
pscope(1 out settings set "${CARD_ARG}" --clock "2010-02-30 14:07")
pscope(0 out settings show "${CARD_ARG}")
expect("after refusals" "${out}" "KORA.INI 1801 00ffffffff 19\nKORA.INI 0101 1003051407 05\nKORA.INI 0306 01ffffffff 04\n")

pscope(0 out settings set "${CARD_ARG}" --defaults)
pscope(0 out settings show "${CARD_ARG}")
expect("defaults" "${out}" "KORA.INI 0306 00ffffffff 05\nKORA.INI 0801 0045ffffff b3\nKORA.INI 0802 0100ffffff f4\nKORA.INI 0803 0200ffffff f6\nKORA.INI 0804 0040ffffff b3\n")

# A card folder that does not exist: 5020 and exit 1.
pscope(1 out settings set "${CARD_ARG}-missing" --buzzer off)
file(REMOVE_RECURSE "${CARD}")
