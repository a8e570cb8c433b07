# cmake -DLIBRARY=<veltoclient_c file> -DHEADER=<veltoclient_c.h> -DFORMAT=<elf|pe|coff>
#       -DTOOL=<nm for elf, objdump for pe, llvm-readobj for coff> [-DARCH=<x86_64|i686>]
#       [-DSANITIZED=ON] -P CheckCExports.cmake
#
# Fails unless the C interface library exports exactly the functions its header declares,
# undecorated (a game in any language finds them by these names), and, on Windows, imports
# only the loader, system DLLs and the runtime the loader may use: the MSVC runtime DLLs for
# an MSVC-ABI build (coff), libgcc's DLL beside a 32-bit MinGW one.

cmake_minimum_required(VERSION 3.25)

function(fail message)
    message(FATAL_ERROR "${LIBRARY}: ${message}")
endfunction()

file(STRINGS "${HEADER}" declarations REGEX "veltoclient_[a-z0-9_]+\\(")
set(expected)
foreach(line IN LISTS declarations)
    # Comments name functions too; a declaration's line is code alone.
    if(line MATCHES "^ *\\*|/\\*")
        continue()
    endif()
    if(line MATCHES "(veltoclient_[a-z0-9_]+)\\(")
        list(APPEND expected "${CMAKE_MATCH_1}")
    endif()
endforeach()
list(REMOVE_DUPLICATES expected)
list(LENGTH expected expected_count)
if(expected_count LESS 20)
    fail("found only ${expected_count} functions in ${HEADER}")
endif()

set(allowed "vykveltoapi_r2_loader|kernel32|msvcrt|ntdll|api-ms-win-[a-z0-9-]+")
if(FORMAT STREQUAL "coff")
    string(APPEND allowed "|ucrtbase|vcruntime140")
elseif(ARCH STREQUAL "i686")
    string(APPEND allowed "|libgcc_s_dw2-1|libwinpthread-1")
endif()

include("${CMAKE_CURRENT_LIST_DIR}/../support/BinaryListing.cmake")
qz_list_binary("${LIBRARY}" "${FORMAT}" "${TOOL}" exports imports)
if(SANITIZED)
    # The sanitizers' own exports and type information name none of our code.
    list(FILTER exports EXCLUDE REGEX "^(__(asan|ubsan|sanitizer|lsan)_|_ZT[IS])")
endif()
foreach(symbol IN LISTS exports)
    if(NOT symbol IN_LIST expected)
        fail("exports ${symbol}, which veltoclient_c.h does not declare")
    endif()
endforeach()
foreach(function IN LISTS expected)
    if(NOT function IN_LIST exports)
        fail("does not export ${function} under that name")
    endif()
endforeach()
foreach(dll IN LISTS imports)
    string(TOLOWER "${dll}" dll)
    if(NOT dll MATCHES "^(${allowed})\\.dll$")
        fail("imports ${dll}, which is neither the loader, a system DLL nor its runtime")
    endif()
endforeach()
message(STATUS "${LIBRARY}: the ${expected_count} functions of the header; imports: ${imports}")
