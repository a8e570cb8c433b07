# Builds a game's own project against the library the way a game takes it in:
#   MODE=install      installs the build into a scratch prefix, checks the headers, and builds
#                     tests/package with find_package(veltoclient);
#   MODE=buildtree    builds tests/package with find_package(veltoclient) pointed at the build
#                     tree itself, without installing;
#   MODE=subproject   builds tests/package/subproject, which uses add_subdirectory.
#   cmake -DMODE=<mode> -DBUILD_DIR=<build> -DSOURCE_DIR=<repository> -DWORK_DIR=<scratch>
#         [-DTOOLCHAIN=<toolchain file of a cross build>] -P CheckConsumer.cmake
file(REMOVE_RECURSE "${WORK_DIR}")
set(consumer_args -G Ninja)
# A cross build's game is built with the same toolchain.
if(TOOLCHAIN)
    list(APPEND consumer_args "-DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN}" -DCMAKE_BUILD_TYPE=Release)
endif()

if(MODE STREQUAL "install")
    execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${WORK_DIR}/prefix"
                    RESULT_VARIABLE result OUTPUT_QUIET)
    if(result)
        message(FATAL_ERROR "install failed")
    endif()
    foreach(header VeltoClient.h Listeners.h SavegameInfo.h SavegameReader.h SavegameWriter.h
                   Export.h veltoclient_c.h)
        if(NOT EXISTS "${WORK_DIR}/prefix/include/veltoclient/${header}")
            message(FATAL_ERROR "header not installed: ${header}")
        endif()
    endforeach()
    # The service-side headers, for service-library authors, in a folder of their own.
    foreach(header VeltodllEntryPoints.h VeltodllEntryPoints.def VeltodllListeners.h)
        if(NOT EXISTS "${WORK_DIR}/prefix/include/veltodll/${header}")
            message(FATAL_ERROR "service-side header not installed: ${header}")
        endif()
    endforeach()
    set(consumer_source "${SOURCE_DIR}/tests/package")
    list(APPEND consumer_args "-DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix")
elseif(MODE STREQUAL "buildtree")
    set(consumer_source "${SOURCE_DIR}/tests/package")
    list(APPEND consumer_args "-Dveltoclient_DIR=${BUILD_DIR}")
elseif(MODE STREQUAL "subproject")
    set(consumer_source "${SOURCE_DIR}/tests/package/subproject")
    list(APPEND consumer_args "-DVELTOCLIENT_SOURCE_DIR=${SOURCE_DIR}")
else()
    message(FATAL_ERROR "MODE must be install, buildtree or subproject")
endif()

execute_process(COMMAND "${CMAKE_COMMAND}" -S "${consumer_source}" -B "${WORK_DIR}/consumer"
                        ${consumer_args}
                RESULT_VARIABLE result)
if(result)
    message(FATAL_ERROR "configuring the ${MODE} consumer failed")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" --build "${WORK_DIR}/consumer" RESULT_VARIABLE result)
if(result)
    message(FATAL_ERROR "the ${MODE} consumer did not build")
endif()
