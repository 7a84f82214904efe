# Runs one scenario through kestrune-sim and compares the transcript with
# the expected one. With KESTRUNE_REGENERATE=1 in the environment it writes
# the expected transcript instead (for a change in behaviour that is meant).
#   cmake -DSIM=… -DSCRIPT=… -DEXPECTED=… -P run_scenario.cmake
execute_process(COMMAND ${SIM} ${SCRIPT}
  OUTPUT_VARIABLE actual ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "kestrune-sim failed (${status}) on ${SCRIPT}:\n${errors}")
endif()
if(DEFINED ENV{KESTRUNE_REGENERATE} AND "$ENV{KESTRUNE_REGENERATE}" STREQUAL "1")
  file(WRITE ${EXPECTED} "${actual}")
  message(STATUS "wrote ${EXPECTED}")
  return()
endif()
if(NOT EXISTS ${EXPECTED})
  message(FATAL_ERROR "no expected transcript ${EXPECTED}; run with KESTRUNE_REGENERATE=1 to write it, then read it")
endif()
file(READ ${EXPECTED} expected)
if(NOT actual STREQUAL expected)
  get_filename_component(name ${SCRIPT} NAME_WE)
  set(actual_file ${CMAKE_CURRENT_BINARY_DIR}/${name}.actual)
  file(WRITE ${actual_file} "${actual}")
  execute_process(COMMAND diff -u ${EXPECTED} ${actual_file} OUTPUT_VARIABLE difference)
  message(FATAL_ERROR "transcript differs from ${EXPECTED}:\n${difference}")
endif()
