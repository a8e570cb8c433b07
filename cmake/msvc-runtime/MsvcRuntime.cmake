# qz_build_msvc_runtime(<output library> <C compiler> <C flags> <C++ flags>)
#
# Builds the start-up code and allocation functions of this runtime into a static library
# while the toolchain file is read, before any target links: every program and DLL of a build
# links it, just as Microsoft's linker takes the static part of its runtime. It is rebuilt
# when a source is newer than the library, and the build is configured again when one changes.
function(qz_build_msvc_runtime library compiler c_flags cxx_flags)
    set(sources Module.c DllEntry.c ExeEntry.c StackCookie.c StackProbe.c LoadConfig.c
        TypeInfo.c FloatUsed.c New.cpp)
    set(source_dir "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/src")
    cmake_path(GET library PARENT_PATH object_dir)
    file(MAKE_DIRECTORY "${object_dir}")

    set(rebuild FALSE)
    set(objects)
    file(GLOB headers "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/include/*.h" "${source_dir}/*.h")
    foreach(source IN LISTS sources headers)
        if(NOT EXISTS "${library}" OR "${source_dir}/${source}" IS_NEWER_THAN "${library}"
           OR (IS_ABSOLUTE "${source}" AND "${source}" IS_NEWER_THAN "${library}"))
            set(rebuild TRUE)
        endif()
    endforeach()
    foreach(source IN LISTS sources)
        list(APPEND objects "${object_dir}/${source}.obj")
    endforeach()
    if(rebuild)
        foreach(source IN LISTS sources)
            if(source MATCHES "\\.cpp$")
                separate_arguments(flags NATIVE_COMMAND "${cxx_flags} /std:c++17 /EHsc /GR")
            else()
                separate_arguments(flags NATIVE_COMMAND "${c_flags}")
            endif()
            # No stack cookie checks in the code that sets the cookie; no default libraries
            # named in the objects, so that the games' own linker settings decide.
            execute_process(
                COMMAND "${compiler}" ${flags} /nologo /c /O2 /MD /GS- /Zl /W4
                        "/Fo${object_dir}/${source}.obj" -- "${source_dir}/${source}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
            if(NOT result EQUAL 0)
                message(FATAL_ERROR "Building the MSVC runtime part ${source} failed:\n${output}")
            elseif(output)
                message(WARNING "Building the MSVC runtime part ${source}:\n${output}")
            endif()
        endforeach()
        find_program(QZ_LLD_LINK NAMES lld-link-14 lld-link REQUIRED)
        execute_process(COMMAND "${QZ_LLD_LINK}" /lib /nologo "/out:${library}" ${objects}
            RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
        if(NOT result EQUAL 0)
            message(FATAL_ERROR "Archiving the MSVC runtime part failed:\n${output}")
        endif()
    endif()
    foreach(source IN LISTS sources headers)
        if(NOT IS_ABSOLUTE "${source}")
            set(source "${source_dir}/${source}")
        endif()
        set_property(DIRECTORY "${CMAKE_SOURCE_DIR}" APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
                     "${source}")
    endforeach()
endfunction()
