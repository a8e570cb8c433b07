# Installs the project into a scratch prefix and builds a consumer against it with
# find_package(veltoclient), as a game would.
#   cmake -DBUILD_DIR=<build> -DSOURCE_DIR=<consumer sources> -DWORK_DIR=<scratch> -P CheckInstall.cmake
file(REMOVE_RECURSE "${WORK_DIR}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${WORK_DIR}/prefix"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(result)
    message(FATAL_ERROR "install failed")
endif()
foreach(header VeltoClient.h Listeners.h SavegameInfo.h SavegameReader.h SavegameWriter.h Export.h)
    if(NOT EXISTS "${WORK_DIR}/prefix/include/veltoclient/${header}")
        message(FATAL_ERROR "header not installed: ${header}")
    endif()
endforeach()
execute_process(COMMAND "${CMAKE_COMMAND}" -S "${SOURCE_DIR}" -B "${WORK_DIR}/consumer" -G Ninja
                        "-DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix"
                RESULT_VARIABLE result)
if(result)
    message(FATAL_ERROR "find_package(veltoclient) failed")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" --build "${WORK_DIR}/consumer" RESULT_VARIABLE result)
if(result)
    message(FATAL_ERROR "the consumer did not build against the installed package")
endif()
