# Runs the example program in a scratch folder of its own, emptied first,
# so that what it writes there is this run's alone. Called by the
# example_output test with EXAMPLE (the program), FOLDER and ARGS.
file(REMOVE_RECURSE "${FOLDER}")
file(MAKE_DIRECTORY "${FOLDER}")
separate_arguments(example_args UNIX_COMMAND "${ARGS}")
execute_process(COMMAND "${EXAMPLE}" ${example_args}
                WORKING_DIRECTORY "${FOLDER}"
                RESULT_VARIABLE result
                OUTPUT_FILE "${FOLDER}/output.txt"
                ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the example failed (${result}): ${errors}")
endif()
