# cockpit-sim fly from the command line: exit 0, the timeline by phase, the verdict and the touchdown report.
# -DSIM=cockpit-sim
execute_process(COMMAND ${SIM} fly RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cockpit-sim fly exited ${result}:\n${out}\n${err}")
endif()
foreach(expected "Flight timeline" " Start-up" " Take-off" " Climb and cruise" " Approach" " Landing" " Roll-out"
                 "Verdict: LANDED on runway 26 of TARV" "Touchdown on runway 26" "vertical speed"
                 "from the centreline")
  string(FIND "${out}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "cockpit-sim fly did not print \"${expected}\":\n${out}")
  endif()
endforeach()
