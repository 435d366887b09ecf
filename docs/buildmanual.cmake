# Builds the tool set's manual with the tool set itself: the project is
# copied into the build tree, converted with "sheaf html", its help project
# written and compiled with "sheaf help" (which checks the compiled file),
# and Sheaf3.chm placed beside the programs.
file(REMOVE_RECURSE "${WORK}")
file(COPY "${SOURCE}/" DESTINATION "${WORK}")
execute_process(COMMAND "${SHEAF}" html --yes Sheaf3.shf3 WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE converted)
if(NOT converted EQUAL 0)
  message(FATAL_ERROR "sheaf html failed on the manual")
endif()
execute_process(COMMAND "${SHEAF}" help --compiler "${CHMCMD}" Sheaf3.shf3 WORKING_DIRECTORY "${WORK}"
                RESULT_VARIABLE compiled OUTPUT_QUIET)
if(NOT compiled EQUAL 0)
  message(FATAL_ERROR "sheaf help failed on the manual")
endif()
file(COPY_FILE "${WORK}/Sheaf3.chm" "${OUTPUT}")
