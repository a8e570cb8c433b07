# qz_add_service_scenario(NAME <test> TARGET <gtest program> [FILTER <gtest filter>]
#                         [REGISTRY <none | key-only | dir:<path> | value:<literal>>]
#                         [LABELS <label>...] [ENVIRONMENT <VAR=value>...])
#
# Registers one ctest test that runs TARGET (restricted to FILTER) in a process of its own, on
# a registry prepared for it. The loader binds the service library once per process, so every
# registry setup needs its own process.
#
# REGISTRY describes key SOFTWARE\Vykaris\Launcher of the local machine:
#   none          the key does not exist
#   key-only      the key exists without an InstallDir value
#   dir:<path>    InstallDir names the directory <path> (a host path such as
#                 ${QZ_FAKESERVICE_FULL_DIR}); the test also gets QZ_SERVICE_LIBRARY, the path
#                 of the library the loader composes from it, for FakeServiceClient
#   value:<text>  InstallDir holds <text> exactly as given
# Without REGISTRY nothing is prepared (for tests that do not reach a real registry).
#
# Natively the registry is a directory tree of the test's own, named by VYKARIS_REGISTRY_ROOT.
# Under Wine the real registry of the build's prefix is written with `reg` before the program
# runs and the key deleted after it, all inside the one test, which holds the resource lock
# vykaris_registry so that no two registry scenarios overlap.
#
# Every GoogleTest program that scenarios run with filters gets one more test,
# <target>_scenario_coverage, that fails when the program holds a case that none of its
# scenarios' filters reaches.
include_guard(GLOBAL)

# Records the filter of one scenario of `target` (empty: the whole program) and, with the first
# filtered scenario of a target, schedules its coverage test for when all scenarios are known.
function(_qz_note_scenario_filter target filter)
    get_property(scheduled GLOBAL PROPERTY QZ_SCENARIO_COVERAGE_${target} SET)
    if(filter STREQUAL "")
        set(filter "*")
    elseif(NOT scheduled)
        set_property(GLOBAL PROPERTY QZ_SCENARIO_COVERAGE_${target} ON)
    endif()
    set_property(GLOBAL APPEND PROPERTY QZ_SCENARIO_FILTERS_${target} "${filter}")
    # Programs run whole by every scenario need no check (and need not be GoogleTest ones).
    if(NOT scheduled AND NOT filter STREQUAL "*")
        cmake_language(EVAL CODE "
            cmake_language(DEFER DIRECTORY \"${CMAKE_CURRENT_SOURCE_DIR}\"
                CALL _qz_add_scenario_coverage_test ${target})")
    endif()
endfunction()

function(_qz_add_scenario_coverage_test target)
    get_property(filters GLOBAL PROPERTY QZ_SCENARIO_FILTERS_${target})
    list(JOIN filters "|" filters)
    add_test(NAME ${target}_scenario_coverage
        COMMAND "${CMAKE_COMMAND}" "-DPROGRAM=$<TARGET_FILE:${target}>"
                "-DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}" "-DFILTERS=${filters}"
                -P "${PROJECT_SOURCE_DIR}/tests/support/CheckScenarioCoverage.cmake")
endfunction()

function(qz_add_service_scenario)
    cmake_parse_arguments(ARG "" "NAME;TARGET;FILTER;REGISTRY" "LABELS;ENVIRONMENT" ${ARGN})
    if(NOT ARG_NAME OR NOT ARG_TARGET)
        message(FATAL_ERROR "qz_add_service_scenario needs NAME and TARGET")
    endif()

    set(arguments)
    if(ARG_FILTER)
        list(APPEND arguments "--gtest_filter=${ARG_FILTER}")
    endif()
    _qz_note_scenario_filter(${ARG_TARGET} "${ARG_FILTER}")
    set(environment ${ARG_ENVIRONMENT})

    # Scenarios point the registry at the fake service libraries: build them with the program.
    foreach(fake IN ITEMS fakeservice_full fakeservice_missing_export)
        if(TARGET ${fake})
            add_dependencies(${ARG_TARGET} ${fake})
        endif()
    endforeach()

    set(mode "")
    set(value "")
    if(DEFINED ARG_REGISTRY)
        if(ARG_REGISTRY STREQUAL "none" OR ARG_REGISTRY STREQUAL "key-only")
            set(mode "${ARG_REGISTRY}")
        elseif(ARG_REGISTRY MATCHES "^dir:(.*)$")
            set(mode "dir")
            set(value "${CMAKE_MATCH_1}")
        elseif(ARG_REGISTRY MATCHES "^value:(.*)$")
            set(mode "value")
            set(value "${CMAKE_MATCH_1}")
        else()
            message(FATAL_ERROR "qz_add_service_scenario: unknown REGISTRY '${ARG_REGISTRY}'")
        endif()
    endif()

    if(mode STREQUAL "")
        add_test(NAME ${ARG_NAME} COMMAND ${ARG_TARGET} ${arguments})
    elseif(CMAKE_CROSSCOMPILING)
        if(mode STREQUAL "dir")
            # Wine maps the host's root directory to drive Z:.
            string(REPLACE "/" "\\" value "Z:${value}")
            list(APPEND environment "QZ_SERVICE_LIBRARY=${value}\\vykveltoapi_r2.dll")
            set(mode "value")
        endif()
        add_test(NAME ${ARG_NAME}
            COMMAND sh "${PROJECT_SOURCE_DIR}/tests/support/wine-scenario.sh"
                    ${CMAKE_CROSSCOMPILING_EMULATOR} "${mode}" "${value}"
                    "$<TARGET_FILE:${ARG_TARGET}>" ${arguments})
        set_tests_properties(${ARG_NAME} PROPERTIES RESOURCE_LOCK vykaris_registry)
    else()
        set(root "${CMAKE_CURRENT_BINARY_DIR}/registry/${ARG_NAME}")
        set(key "${root}/HKEY_LOCAL_MACHINE/SOFTWARE/Vykaris/Launcher")
        file(REMOVE_RECURSE "${root}")
        file(MAKE_DIRECTORY "${root}")
        if(NOT mode STREQUAL "none")
            file(MAKE_DIRECTORY "${key}")
        endif()
        if(mode STREQUAL "dir")
            # The one trailing line feed a hand-edited value file ends with is not part of it.
            file(WRITE "${key}/InstallDir" "${value}\n")
            list(APPEND environment "QZ_SERVICE_LIBRARY=${value}/vykveltoapi_r2.so")
        elseif(mode STREQUAL "value")
            file(WRITE "${key}/InstallDir" "${value}")
        endif()
        list(APPEND environment "VYKARIS_REGISTRY_ROOT=${root}")
        add_test(NAME ${ARG_NAME} COMMAND ${ARG_TARGET} ${arguments})
    endif()

    if(environment)
        set_tests_properties(${ARG_NAME} PROPERTIES ENVIRONMENT "${environment}")
    endif()
    if(ARG_LABELS)
        set_tests_properties(${ARG_NAME} PROPERTIES LABELS "${ARG_LABELS}")
    endif()
endfunction()
