# Compiler settings of our own targets. Only the sanitizer flags are set for the directory, and
# only in the developer build that asks for them; everything else is set per target, so that a
# game that takes us in with add_subdirectory keeps its own flags and our warnings never reach
# its targets.

# The sanitizers are a developer build of the whole tree (QZ_SANITIZE is off for games).
if(QZ_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

# Warning flags in the dialect of the compiler's driver: clang-cl takes MSVC-style options.
if(CMAKE_CXX_COMPILER_FRONTEND_VARIANT STREQUAL "MSVC")
    set(QZ_WARNING_OPTIONS /W4)
else()
    set(QZ_WARNING_OPTIONS -Wall -Wextra)
endif()

# qz_target_warnings(<target>...): our warnings, PRIVATE to each target.
function(qz_target_warnings)
    foreach(target IN LISTS ARGN)
        target_compile_options(${target} PRIVATE ${QZ_WARNING_OPTIONS})
    endforeach()
endfunction()

# qz_own_targets(<output> <directory>): every compiled target defined in <directory> and the
# directories below it (within this project's sources), so that a new target cannot be left
# out of what is applied to all of them.
function(qz_own_targets output directory)
    set(result)
    get_property(targets DIRECTORY "${directory}" PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        if(type MATCHES "^(STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY|EXECUTABLE)$")
            list(APPEND result ${target})
        endif()
    endforeach()
    get_property(subdirectories DIRECTORY "${directory}" PROPERTY SUBDIRECTORIES)
    foreach(subdirectory IN LISTS subdirectories)
        cmake_path(IS_PREFIX PROJECT_SOURCE_DIR "${subdirectory}" NORMALIZE ours)
        if(ours)
            qz_own_targets(below "${subdirectory}")
            list(APPEND result ${below})
        endif()
    endforeach()
    set(${output} "${result}" PARENT_SCOPE)
endfunction()

# qz_warn_all_targets(<directory>): our warnings for every target of qz_own_targets. Called
# once, at the end of the root CMakeLists.txt.
function(qz_warn_all_targets directory)
    qz_own_targets(targets "${directory}")
    qz_target_warnings(${targets})
endfunction()

include(QzMingwRuntime)
