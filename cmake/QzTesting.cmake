# GoogleTest comes from Debian's source package and is built with our own compiler, so the
# same suites build natively, under the sanitizers and with the MinGW cross compiler.
set(QZ_GOOGLETEST_SOURCE_DIR "/usr/src/googletest" CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory("${QZ_GOOGLETEST_SOURCE_DIR}" "${PROJECT_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)
# GoogleTest's own sources are not ours to keep warning-free.
foreach(gtest_target IN ITEMS gtest gtest_main gmock gmock_main)
    target_compile_options(${gtest_target} PRIVATE -w)
endforeach()

include(GoogleTest)
# A cross build lists a program's cases when the tests run, under the emulator, so that
# building needs no Wine.
if(CMAKE_CROSSCOMPILING)
    set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
endif()

# qz_add_gtest(NAME SOURCES ... [LIBRARIES ...] [LABELS ...])
# Builds one GoogleTest program and registers it as one ctest test that runs every case the
# program holds, so a new case runs without being listed anywhere. Programs whose cases each
# need a fresh process use gtest_discover_tests instead.
function(qz_add_gtest name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} GTest::gtest_main GTest::gmock)
    add_test(NAME ${name} COMMAND ${name})
    if(ARG_LABELS)
        set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
    endif()
endfunction()
