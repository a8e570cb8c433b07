# Configures and builds a consumer that adds the library with add_subdirectory.
#   cmake -DSOURCE_DIR=<repository> -DWORK_DIR=<scratch> -P CheckSubproject.cmake
file(REMOVE_RECURSE "${WORK_DIR}")
execute_process(COMMAND "${CMAKE_COMMAND}" -S "${SOURCE_DIR}/tests/package/subproject"
                        -B "${WORK_DIR}" -G Ninja "-DVELTOCLIENT_SOURCE_DIR=${SOURCE_DIR}"
                RESULT_VARIABLE result)
if(result)
    message(FATAL_ERROR "add_subdirectory of the library failed")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" --build "${WORK_DIR}" RESULT_VARIABLE result)
if(result)
    message(FATAL_ERROR "the consumer did not build with the library as a subproject")
endif()
