# Creates an empty note database at DATABASE with the tool NEWDB, unless a file is there already.
if(NOT EXISTS "${DATABASE}")
  execute_process(COMMAND "${NEWDB}" "${DATABASE}" RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "Could not create ${DATABASE}")
  endif()
endif()
