# Writes the error catalogue page from what the built tool prints, so that the
# reference shows the library's own table and never a copy of it.
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env VEL30_MBCS_ENCODING=UTF-8 ${QUIRE} error --all
  OUTPUT_VARIABLE table
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "quire error --all failed: ${status}")
endif()
file(WRITE ${OUTPUT} "# Error catalogue {#errors}\n\n"
  "Every code of Quire::VelErrorCode with the messages that Quire::VelException "
  "gives for it, as `quire error --all` prints them (Japanese shown in UTF-8; "
  "the library keeps it in WINDOWS31J).\n\n```\n${table}```\n")
