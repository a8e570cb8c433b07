# How our MinGW-built DLLs and programs get GCC's runtime libraries.
#
# They take libgcc, libstdc++ and winpthread from their archives, so that they import system
# DLLs only; the system DLLs are still reached through their import libraries.
#
# Not on 32-bit x86: there GCC unwinds with DWARF tables that each module registers with one
# copy of libgcc, and an exception cannot pass from the frames of one copy into those of
# another, so std::bad_alloc from the loader would end a game in std::terminate. Once
# libgcc_s_dw2-1.dll is in a process, even a module with libgcc linked in registers its tables
# there and cannot catch its own exceptions. So every module shares libgcc_s_dw2-1.dll (what
# the compiler links a game with by default), and with it libwinpthread-1.dll, which it
# imports; both ship beside the loader (QZ_MINGW_RUNTIME_DLLS). libstdc++ stays linked in: its
# type_info compares names, so a game's own copy still catches the loader's exceptions.
set(QZ_MINGW_RUNTIME_DLLS)
if(NOT (WIN32 AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU"))
    # Not a MinGW build: nothing to do.
elseif(CMAKE_SIZEOF_VOID_P EQUAL 4)
    add_link_options(-static-libstdc++ -shared-libgcc)
    foreach(dll IN ITEMS libgcc_s_dw2-1.dll libwinpthread-1.dll)
        execute_process(COMMAND "${CMAKE_CXX_COMPILER}" -print-file-name=${dll}
            OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
        if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
            message(FATAL_ERROR "${CMAKE_CXX_COMPILER} does not know where ${dll} is")
        endif()
        cmake_path(NORMAL_PATH path)
        list(APPEND QZ_MINGW_RUNTIME_DLLS "${path}")
    endforeach()
else()
    add_link_options(-static)
endif()

# qz_ship_mingw_runtime(<directory>): copies QZ_MINGW_RUNTIME_DLLS beside every program of
# qz_own_targets, in the common bin/ or a directory of its own, so that it starts (Windows
# looks for a program's DLLs beside it). Done while configuring, before any test program is run to list
# its cases. Called once, at the end of the root CMakeLists.txt.
function(qz_ship_mingw_runtime directory)
    if(NOT QZ_MINGW_RUNTIME_DLLS)
        return()
    endif()
    set(directories ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
    qz_own_targets(targets "${directory}")
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        get_target_property(output ${target} RUNTIME_OUTPUT_DIRECTORY)
        if(type STREQUAL "EXECUTABLE" AND output)
            list(APPEND directories "${output}")
        endif()
    endforeach()
    list(REMOVE_DUPLICATES directories)
    foreach(output IN LISTS directories)
        file(COPY ${QZ_MINGW_RUNTIME_DLLS} DESTINATION "${output}")
    endforeach()
endfunction()
