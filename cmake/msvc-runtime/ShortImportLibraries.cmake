# qz_short_import_libraries(<output variable> <directory> <import library>...)
#
# Makes a short import library (the format Microsoft's tools write) in <directory> of each
# given long-format one, lib<name>.a importing from <name>.dll, and sets the output variable to
# their paths. lld-link takes only objects with SafeSEH information into a 32-bit image; the
# objects of a long-format import library have none, a short import library has no objects.
# The exported names are read from the library's __imp_ symbols, with their decoration:
# functions also have a thunk symbol, data exports do not. Remade when the library is newer.
function(qz_short_import_libraries output directory)
    find_program(QZ_LLVM_NM NAMES llvm-nm-14 llvm-nm REQUIRED)
    find_program(QZ_LLVM_DLLTOOL NAMES llvm-dlltool-14 llvm-dlltool REQUIRED)
    file(MAKE_DIRECTORY "${directory}")
    set(results)
    foreach(library IN LISTS ARGN)
        cmake_path(GET library FILENAME file_name)
        string(REGEX REPLACE "^lib(.+)\\.a$" "\\1" dll "${file_name}")
        set(short "${directory}/${dll}.lib")
        list(APPEND results "${short}")
        if(EXISTS "${short}" AND NOT "${library}" IS_NEWER_THAN "${short}")
            continue()
        endif()
        execute_process(COMMAND "${QZ_LLVM_NM}" --defined-only "${library}"
            OUTPUT_VARIABLE listing RESULT_VARIABLE status ERROR_QUIET)
        if(NOT status EQUAL 0)
            message(FATAL_ERROR "Reading the import library ${library} failed")
        endif()
        string(REGEX MATCHALL " I __imp_[^\n]+" imports "${listing}")
        set(definition "LIBRARY ${dll}.dll\nEXPORTS\n")
        foreach(import IN LISTS imports)
            string(REPLACE " I __imp_" "" symbol "${import}")
            # The C prefix is llvm-dlltool's to add again; C++ and fastcall names have none.
            set(name "${symbol}")
            if(name MATCHES "^_(.+)$")
                set(name "${CMAKE_MATCH_1}")
            endif()
            string(FIND "${listing}" " T ${symbol}\n" thunk)
            if(NOT thunk EQUAL -1)
                string(APPEND definition "${name}\n")
            else()
                string(APPEND definition "${name} DATA\n")
            endif()
        endforeach()
        file(WRITE "${directory}/${dll}.def" "${definition}")
        # -k: the DLL's names are the undecorated ones (GetTickCount for _GetTickCount@0).
        execute_process(COMMAND "${QZ_LLVM_DLLTOOL}" -m i386 -k -d "${directory}/${dll}.def"
                                -l "${short}" -D "${dll}.dll"
            RESULT_VARIABLE status OUTPUT_VARIABLE messages ERROR_VARIABLE messages)
        if(NOT status EQUAL 0)
            message(FATAL_ERROR "Making the import library ${short} failed:\n${messages}")
        endif()
    endforeach()
    set(${output} "${results}" PARENT_SCOPE)
endfunction()
