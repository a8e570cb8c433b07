# cmake -DLIBRARY=<loader file> -DFORMAT=<elf|pe> -DTOOL=<nm for elf, objdump for pe>
#       -DDEMANGLER=<c++filt> [-DARCH=<x86_64|i686>] [-DSANITIZED=ON] -P CheckExports.cmake
#
# Fails unless every symbol the loader exports belongs to qz::veltoclient, the public
# classes are among them, and (for the Windows DLL) it imports system DLLs only: a game must
# not need the MinGW runtime DLLs beside it. The one exception is 32-bit x86, where the
# modules share libgcc's DLL so that exceptions cross (QzCompileOptions.cmake): that DLL and
# the winpthread DLL it imports ship beside the loader.

cmake_minimum_required(VERSION 3.25)

function(fail message)
    message(FATAL_ERROR "${LIBRARY}: ${message}")
endfunction()

include("${CMAKE_CURRENT_LIST_DIR}/../support/BinaryListing.cmake")
if(NOT FORMAT MATCHES "^(elf|pe)$")
    fail("FORMAT must be elf or pe")
endif()
qz_list_binary("${LIBRARY}" "${FORMAT}" "${TOOL}" exports imports)
set(allowed "kernel32|advapi32|msvcrt|ucrtbase|ntdll|api-ms-win-[a-z0-9-]+")
if(ARCH STREQUAL "i686")
    string(APPEND allowed "|libgcc_s_dw2-1|libwinpthread-1")
endif()
foreach(dll IN LISTS imports)
    string(TOLOWER "${dll}" dll)
    if(NOT dll MATCHES "^(${allowed})\\.dll$")
        fail("imports ${dll}, which is not a system DLL")
    endif()
endforeach()
if(NOT exports)
    fail("exports nothing")
endif()

set(demangled_all)
foreach(symbol IN LISTS exports)
    execute_process(COMMAND "${DEMANGLER}" "${symbol}" OUTPUT_VARIABLE demangled
        OUTPUT_STRIP_TRAILING_WHITESPACE)
    # The undefined-behaviour sanitizer emits type information for plain function types; it
    # names none of our code.
    if(SANITIZED AND (symbol MATCHES "^_ZT[IS]F" OR
                      symbol MATCHES "^__(asan|ubsan|sanitizer|lsan)_"))
        continue()
    endif()
    # Decided on the mangled name, which spells the enclosing namespaces exactly: functions and
    # data (also const members and templates), type information, vtables and thunks.
    if(NOT symbol MATCHES "^_Z(T[ISV]|Th[0-9]+_|Thn[0-9]+_|Tv[n0-9_]+)?NK?2qz11veltoclient")
        message(STATUS "not in qz::veltoclient: ${symbol}")
        fail("exports ${symbol} (${demangled}), which is not in qz::veltoclient")
    endif()
    list(APPEND demangled_all "${demangled}")
endforeach()

foreach(required IN ITEMS
        "qz::veltoclient::VeltoClient::VeltoClient()"
        "qz::veltoclient::VeltoClient::GetInstallationErrorNum()"
        "qz::veltoclient::SavegameInfo::GetSize()"
        "qz::veltoclient::SavegameReader::Close()"
        "qz::veltoclient::SavegameWriter::Close(bool)")
    if(NOT required IN_LIST demangled_all)
        fail("does not export ${required}")
    endif()
endforeach()
list(LENGTH exports count)
message(STATUS "${LIBRARY}: ${count} exports, all in qz::veltoclient")
