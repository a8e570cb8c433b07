# Builds the minimal sample, examples/hello-savegame, against the installed package and runs
# it against the installed development service, registered with the installed veltodev: what
# a new game developer does after `cmake --install`.
#   cmake -DBUILD_DIR=<build> -DSOURCE_DIR=<repository> -DWORK_DIR=<scratch>
#         [-DTOOLCHAIN=<toolchain file> -DEMULATOR=<Wine runner>] -P CheckHelloSavegame.cmake
# Under Wine the sample registers the service in the prefix's own registry and removes the
# value again at the end.
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

include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/QzWinePath.cmake)

set(configure_args -G Ninja "-DCMAKE_PREFIX_PATH=${prefix}")
set(registry_args --root "${WORK_DIR}/registry")
set(suffix "")
if(EMULATOR)
    list(APPEND configure_args "-DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN}" -DCMAKE_BUILD_TYPE=Release)
    set(registry_args "")
    set(suffix ".exe")
endif()

run("installing" "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}")
file(GLOB_RECURSE tool "${prefix}/veltodev${suffix}")
if(NOT tool)
    message(FATAL_ERROR "veltodev is not installed (component devtools)")
endif()
get_filename_component(service_dir "${tool}" DIRECTORY)
if(EMULATOR)
    # A cross toolchain searches its own root for packages: name the package's folder.
    file(GLOB_RECURSE package "${prefix}/veltoclientConfig.cmake")
    get_filename_component(package "${package}" DIRECTORY)
    list(APPEND configure_args "-Dveltoclient_DIR=${package}")
endif()
qz_wine_path(service_dir "${service_dir}" "${EMULATOR}")
qz_wine_path(storage "${WORK_DIR}/savegames" "${EMULATOR}")

run("configuring the sample" "${CMAKE_COMMAND}" -S "${SOURCE_DIR}/examples/hello-savegame"
    -B "${WORK_DIR}/build" ${configure_args})
run("building the sample" "${CMAKE_COMMAND}" --build "${WORK_DIR}/build")
run("registering the service" ${EMULATOR} "${tool}" register ${registry_args} "${service_dir}")
execute_process(COMMAND "${CMAKE_COMMAND}" -E env "VYKARIS_REGISTRY_ROOT=${WORK_DIR}/registry"
                        "VYKARIS_DEVSERVICE_DIR=${storage}"
                        ${EMULATOR} "${WORK_DIR}/build/hello_savegame${suffix}"
                RESULT_VARIABLE result OUTPUT_VARIABLE sample ERROR_VARIABLE sample)
run("removing the registration" ${EMULATOR} "${tool}" register ${registry_args} --remove)
if(result OR NOT sample MATCHES
   "wrote savegame 1 of product 4242.*savegame 1: 17 bytes.*read it back")
    message(FATAL_ERROR "the sample failed (${result}):\n${sample}")
endif()
message(STATUS "${sample}")
