# cockpit-sim campaign from the command line, a small sample: exit 0, a line per approach with its
# verdict, the table against the criteria and the dispersion picture written.
# -DSIM=cockpit-sim -DPNG=where the picture goes
file(REMOVE ${PNG})
execute_process(COMMAND ${SIM} campaign --approaches 2 --seed 3 --list --png ${PNG}
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cockpit-sim campaign exited ${result}:\n${out}\n${err}")
endif()
foreach(expected "   1  " "   2  " "LANDED" "Seed 3" "Autoland campaign: 2 approaches" "Verdicts" "past the threshold, m"
                 "61 to 823 m" "outboard gear from centreline, m" "at most 21 m" "sink rate, ft/min" "at most 600"
                 "Touchdown dispersion: ${PNG}")
  string(FIND "${out}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "cockpit-sim campaign did not print \"${expected}\":\n${out}")
  endif()
endforeach()
if(NOT EXISTS ${PNG})
  message(FATAL_ERROR "cockpit-sim campaign wrote no picture at ${PNG}")
endif()
