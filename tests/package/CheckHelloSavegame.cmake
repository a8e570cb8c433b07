# Builds the minimal sample, examples/hello-savegame, against the installed package and runs
# it against the installed development service, registered with the installed veltodev: what
# a new game developer does after `cmake --install`.
#   cmake -DBUILD_DIR=<build> -DSOURCE_DIR=<repository> -DWORK_DIR=<scratch>
#         -P CheckHelloSavegame.cmake
file(REMOVE_RECURSE "${WORK_DIR}")
set(prefix "${WORK_DIR}/prefix")

# run(<what> <command>...): runs the command, fails the test with its output when it fails.
function(run what)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output
                    ERROR_VARIABLE output)
    if(result)
        message(FATAL_ERROR "${what} failed (${result}):\n${output}")
    endif()
    set(output "${output}" PARENT_SCOPE)
endfunction()

run("installing" "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}")
file(GLOB_RECURSE tool "${prefix}/veltodev")
if(NOT tool)
    message(FATAL_ERROR "veltodev is not installed (component devtools)")
endif()
get_filename_component(service_dir "${tool}" DIRECTORY)

run("configuring the sample" "${CMAKE_COMMAND}" -S "${SOURCE_DIR}/examples/hello-savegame"
    -B "${WORK_DIR}/build" -G Ninja "-DCMAKE_PREFIX_PATH=${prefix}")
run("building the sample" "${CMAKE_COMMAND}" --build "${WORK_DIR}/build")
run("registering the service" "${tool}" register --root "${WORK_DIR}/registry" "${service_dir}")
run("running the sample" "${CMAKE_COMMAND}" -E env "VYKARIS_REGISTRY_ROOT=${WORK_DIR}/registry"
    "VYKARIS_DEVSERVICE_DIR=${WORK_DIR}/savegames" "${WORK_DIR}/build/hello_savegame")
if(NOT output MATCHES "wrote savegame 1 of product 4242.*savegame 1: 17 bytes.*read it back")
    message(FATAL_ERROR "the sample said:\n${output}")
endif()
message(STATUS "${output}")
