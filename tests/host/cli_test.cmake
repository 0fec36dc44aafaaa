# cockpit-sim as a user runs it: options, exit status, output files and the streams, over real runs.
# -DSIM=cockpit-sim -DWORK=scratch directory -DSCENARIOS=scenarios directory
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(failures 0)

# run(NAME EXIT args...): runs cockpit-sim in WORK; out/err/both hold its streams (both merged).
macro(run name want_exit)
  execute_process(COMMAND ${SIM} ${ARGN} WORKING_DIRECTORY ${WORK} RESULT_VARIABLE got OUTPUT_VARIABLE out
                  ERROR_VARIABLE err)
  execute_process(COMMAND ${SIM} ${ARGN} WORKING_DIRECTORY ${WORK} OUTPUT_VARIABLE both ERROR_VARIABLE both)
  if(NOT got STREQUAL "${want_exit}")
    message(SEND_ERROR "${name}: exit ${got}, wanted ${want_exit}\n${out}${err}")
    math(EXPR failures "${failures} + 1")
  endif()
endmacro()
macro(check name)
  if(NOT (${ARGN}))
    message(SEND_ERROR "${name}\nstdout: ${out}\nstderr: ${err}")
  endif()
endmacro()

file(WRITE ${WORK}/b.scn "tick 2\nexpect sim:tick_counter == 2\n")
file(WRITE ${WORK}/fail.scn "click \"tarvenol elec_batt_t418\" batt_1.on\ntick 40\nexpect sound CLICK played\n")

run(version 0 --version)
check("--version names the version and the commit" out MATCHES "^cockpit-sim [0-9.]+ [(]commit [0-9a-f]+")

# An option's value is never the next option, nor a file the run reads or writes twice.
run(trace_takes_no_option 2 run b.scn --trace --quiet)
check("--trace --quiet is refused, not a file named --quiet" NOT EXISTS ${WORK}/--quiet)
run(trace_over_scenario 2 run b.scn --trace b.scn)
file(READ ${WORK}/b.scn kept)
check("the scenario is not overwritten" kept MATCHES "^tick 2")
run(trace_and_audio_same 2 run b.scn --trace t.out --audio ./t.out)
run(trace_with_equals 0 run b.scn --trace=x.csv --quiet)
check("--trace=FILE is accepted" EXISTS ${WORK}/x.csv)
run(extra_word 2 gauges extra)
run(help_run 0 help run)
check("help run shows the run command's help" out MATCHES "Usage: run" AND out MATCHES "--watch")
run(default_takes_options 0 --quiet --watch eng1_n2_pct)
check("the default scenario runs quietly" NOT out MATCHES "frame ")
run(watch_unknown 2 run b.scn --watch eng1_n2_pt)
check("an unknown watch name gets the nearest one" err MATCHES "did you mean eng1_n2_pct")

# Lists tell meanings.
run(vars 0 vars)
check("vars gives the switch positions" out MATCHES "batt_1_sw +u8 +battery 1 switch: 0 OFF, 1 NORM, 2 ON")
check("vars says which APU speed is which" out MATCHES "apu_n_pct +f64 +APU N2")
run(sounds 0 sounds)
check("sounds lists the 25 sounds" out MATCHES " 1  CLICK" AND out MATCHES "25  BRAKESSND")

# Inputs that are no scenario.
run(directory 2 run ${WORK})
check("a directory is refused" err MATCHES "is a directory")
run(missing 3 run no_such.scn)
if(EXISTS /dev/zero)
  run(endless_device 2 run /dev/zero)
  check("an endless device is refused by size" err MATCHES "larger than 16 MB")
endif()

# Output that cannot be written fails the run.
if(EXISTS /dev/full)
  run(trace_to_full_device 3 run b.scn --quiet --trace /dev/full)
  execute_process(COMMAND ${SIM} gauges OUTPUT_FILE /dev/full RESULT_VARIABLE got ERROR_VARIABLE err)
  check("gauges > /dev/full exits 3" got EQUAL 3)
endif()

# The default run reads in under a thousand lines and ends passed.
run(default 0)
string(REGEX MATCHALL "\n" lines "${out}")
list(LENGTH lines line_count)
# The start-up setting and the dark cockpit's first seconds take about a hundred lines of their own.
check("the default run prints ${line_count} lines, under 1200" line_count LESS 1200)
check("the default run ends passed" out MATCHES "passed [(][0-9]+ expects, [0-9]+ frames[)]\n([^\n]*pictures and viewer in [^\n]*\n)?$")
check("no sound request is printed twice in a row" NOT out MATCHES "BRAKESSND stop\n(frame [^\n]*\n)?  sound   BRAKESSND stop")

# The default scenario's procedure keeps every bus powered from the first frame to the last.
run(default_trace 0 --quiet --trace default.csv)
file(READ ${WORK}/default.csv trace)
# The start-up leaves the cockpit cold and dark; the crew switches the batteries on in this frame.
set(batteries_on_frame 37)
foreach(bus batt_bus_powered dc_bus_powered ac_bus_1_powered ac_bus_2_powered)
  string(REGEX MATCHALL "\n[0-9]+,[^,\n]*,var,${bus},,1,0\n" drops "${trace}")
  foreach(drop ${drops})
    string(REGEX MATCH "[0-9]+" drop_frame "${drop}")
    check("${bus} never drops once the batteries are on (frame ${drop_frame})" drop_frame LESS ${batteries_on_frame})
  endforeach()
endforeach()

# A failing expect: after the timeline, told where the sound was played, and repeated last.
run(failing 1 run fail.scn)
check("the failure says where CLICK was played" err MATCHES "played by the click at line 1, before the last tick")
check("the failure is the last line of both streams together" both MATCHES "fail.scn:3: failed: expect sound CLICK played\n$")
string(FIND "${both}" "expect failed" at_message)
string(FIND "${both}" "frame 40" at_frame)
check("the timeline comes before the message" at_frame LESS at_message)

# Recording that cannot fit a WAV file is refused before anything runs.
file(WRITE ${WORK}/long.scn "tick 100000000\n")
run(audio_too_long 2 run long.scn --audio long.wav)
check("the refusal gives the reason" err MATCHES "a WAV file holds at most")
check("no recording is left" NOT EXISTS ${WORK}/long.wav)

# What a newcomer gets wrong first: a checked wave file that cannot be read or is no wave, an empty
# pictures directory, a picture given as a scenario, a huge word, a comparison with nan, a typo.
run(wave_missing 3 wave nosuch.wav)
string(LENGTH "${out}" out_length)
check("a missing wave cannot be read, said on the error stream" err MATCHES "nosuch.wav: cannot read" AND out_length EQUAL 0)
run(wave_directory 3 wave .)
file(WRITE ${WORK}/notwave.wav "RIFF....WAVEjunk")
run(wave_malformed 2 wave notwave.wav)
string(LENGTH "${out}" out_length)
check("a malformed wave would not load, on the error stream" err MATCHES "would not load" AND out_length EQUAL 0)
execute_process(COMMAND ${SIM} run b.scn --pictures "" WORKING_DIRECTORY ${WORK} RESULT_VARIABLE got ERROR_VARIABLE err)
check("an empty pictures directory is refused" got EQUAL 2 AND err MATCHES "not an empty one")
execute_process(COMMAND ${CMAKE_COMMAND} -E copy /bin/true ${WORK}/program.scn)
run(binary_scenario 2 run program.scn)
check("a program is not a scenario, said in one line" err MATCHES "^program.scn: refused: not a text file[^\n]*\n$")
string(REPEAT "q" 100000 huge)
file(WRITE ${WORK}/huge.scn "set ${huge} 1\n")
run(huge_word 2 run huge.scn)
string(LENGTH "${err}" err_length)
check("a huge word is not echoed whole" err_length LESS 1000 AND err MATCHES "[(]100000 bytes[)]")
file(WRITE ${WORK}/nan.scn "expect batt_1_sw == nan\n")
run(nan_compared 2 run nan.scn)
check("nan equals nothing, and how to test for it" err MATCHES "nan equals nothing" AND err MATCHES "is nan")
file(WRITE ${WORK}/isnan.scn "set cockpit_init_state 2\nsim ias_kt nan\nexpect sim:ias_kt is nan\nexpect batt_1_sw is not nan\n")
run(is_nan 0 run isnan.scn --quiet)
run(command_typo 2 gaugs)
check("a mistyped command gets the nearest" err MATCHES "Did you mean: cockpit-sim gauges")

# The viewer tells the story: beside each picture what the run printed for that stretch, the
# pictures as files beside a light page, not inside it.
file(WRITE ${WORK}/story.scn "set cockpit_init_state 2\ntick\npicture before\nclick \"tarvenol elec_batt_t418\" batt_1.off\ntick 2\npicture after\n")
run(viewer_story 0 run story.scn --quiet --pictures story)
file(READ ${WORK}/story/index.html page)
file(SIZE ${WORK}/story/index.html page_size)
check("the viewer page is light: its pictures are files beside it" page_size LESS 200000 AND NOT page MATCHES "data:image/png"
      AND EXISTS ${WORK}/story/after/window_10060.png)
check("the viewer shows what run printed for the stretch" page MATCHES "click   [^\n]*batt_1.off" AND page MATCHES "batt_1_sw +1 -")
