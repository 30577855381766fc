# Fails when groff reports anything about the manual page: it must format
# without a single warning.
execute_process(
  COMMAND ${GROFF} -ww -man -z ${MANUAL}
  RESULT_VARIABLE status
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)
if(NOT status EQUAL 0 OR NOT output STREQUAL "")
  message(FATAL_ERROR "groff -ww -man -z ${MANUAL} (status ${status}):\n${output}")
endif()
