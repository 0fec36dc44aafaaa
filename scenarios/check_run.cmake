# Runs cockpit-sim, every invariant judged, on a scenario that must end with a given exit status and
# error message (a scenario made to fail). -DSIM=cockpit-sim [-DEMULATOR=wine] -DSCENARIO=file
file(STRINGS ${SCENARIO} exit_line REGEX "^# expect-exit: ")
file(STRINGS ${SCENARIO} error_line REGEX "^# expect-error: ")
string(REGEX REPLACE "^# expect-exit: *" "" want_exit "${exit_line}")
string(REGEX REPLACE "^# expect-error: *" "" want_error "${error_line}")
execute_process(COMMAND ${EMULATOR} ${SIM} run ${SCENARIO} --quiet --invariants
                RESULT_VARIABLE got_exit OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(REPLACE "\r" "" err "${err}")
string(REPLACE "\n" " " err_line "${err}")
if(NOT got_exit STREQUAL want_exit)
  message(FATAL_ERROR "exit status ${got_exit}, wanted ${want_exit}\n${out}${err}")
endif()
if(want_error AND NOT err_line MATCHES "${want_error}")
  message(FATAL_ERROR "the error message does not match '${want_error}':\n${err}")
endif()
message(STATUS "exit status ${got_exit} as wanted:\n${err}")
