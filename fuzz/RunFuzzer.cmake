# Time-boxed libFuzzer run for ctest, on a copy of the saved corpus so that the source tree
# never changes. Arguments: FUZZER (program), CORPUS (saved corpus), WORK (scratch directory),
# SECONDS (run time).
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/corpus" "${WORK}/artifacts")
file(COPY "${CORPUS}/" DESTINATION "${WORK}/corpus")
execute_process(
    COMMAND "${FUZZER}" -max_total_time=${SECONDS} -timeout=10 -rss_limit_mb=2048
            -print_final_stats=1 "-artifact_prefix=${WORK}/artifacts/" "${WORK}/corpus"
    RESULT_VARIABLE result
)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${FUZZER} failed (${result}); the input is in ${WORK}/artifacts")
endif()
