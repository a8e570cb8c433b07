# cmake -DLIBRARY=<loader DLL> -DIMPORT_LIBRARY=<its .lib> -DREADOBJ=<llvm-readobj>
#       -DUNDNAME=<llvm-undname> [-DARCH=<x86_64|i686>] -P CheckMsvcExports.cmake
#
# The surface a game built by Microsoft's compiler links: exactly the members of the
# qz::veltoclient classes below, decorated as that compiler decorates them (a renamed or
# re-typed member breaks every such game), none of the assignments the classes delete, the
# same names in the import library, and imports of system DLLs and the MSVC runtime DLLs only.
# The names are spelled for x86-64; on 32-bit x86 (ARCH i686) pointers lose their __ptr64
# marks and members are __thiscall (QAE where x86-64 has QEAA).

cmake_minimum_required(VERSION 3.25)

set(expected
    "??0SavegameInfo@veltoclient@qz@@AEAA@XZ"
    "??0SavegameReader@veltoclient@qz@@AEAA@XZ"
    "??0SavegameWriter@veltoclient@qz@@AEAA@XZ"
    "??0VeltoClient@veltoclient@qz@@QEAA@XZ"
    "??1SavegameInfo@veltoclient@qz@@AEAA@XZ"
    "??1SavegameReader@veltoclient@qz@@AEAA@XZ"
    "??1SavegameWriter@veltoclient@qz@@AEAA@XZ"
    "??1VeltoClient@veltoclient@qz@@QEAA@XZ"
    "?Close@SavegameReader@veltoclient@qz@@QEAAXXZ"
    "?Close@SavegameWriter@veltoclient@qz@@QEAAX_N@Z"
    "?GetInstallationErrorNum@VeltoClient@veltoclient@qz@@QEAAIXZ"
    "?GetInstallationErrorString@VeltoClient@veltoclient@qz@@QEAAPEAGPEBD@Z"
    "?GetLocText@VeltoClient@veltoclient@qz@@QEAAPEBGPEBGPEBD@Z"
    "?GetLoginDetails@VeltoClient@veltoclient@qz@@QEAAXIPEAVIGetLoginDetailsListener@23@@Z"
    "?GetName@SavegameInfo@veltoclient@qz@@QEAAPEBGXZ"
    "?GetNetworkTraffic@VeltoClient@veltoclient@qz@@QEAAXIPEAVIGetNetworkTrafficListener@23@@Z"
    "?GetProductId@SavegameInfo@veltoclient@qz@@QEAAIXZ"
    "?GetRequestUniqueId@VeltoClient@veltoclient@qz@@QEAAIXZ"
    "?GetSavegameId@SavegameInfo@veltoclient@qz@@QEAAIXZ"
    "?GetSavegameList@VeltoClient@veltoclient@qz@@QEAAXIPEAVIGetSavegameListListener@23@I@Z"
    "?GetSavegameReader@VeltoClient@veltoclient@qz@@QEAAXIPEAVIGetSavegameReaderListener@23@II@Z"
    "?GetSavegameWriter@VeltoClient@veltoclient@qz@@QEAAXIPEAVIGetSavegameWriterListener@23@II_N@Z"
    "?GetSize@SavegameInfo@veltoclient@qz@@QEAAIXZ"
    "?GetVeltoServer@VeltoClient@veltoclient@qz@@QEAAXIPEAVIGetVeltoServerListener@23@II@Z"
    "?Read@SavegameReader@veltoclient@qz@@QEAAXIPEAVISavegameReadListener@23@IPEAXI@Z"
    "?RemoveSavegame@VeltoClient@veltoclient@qz@@QEAAXIPEAVIRemoveSavegameListener@23@II@Z"
    "?SetName@SavegameWriter@veltoclient@qz@@QEAA_NPEAG@Z"
    "?StartLauncher@VeltoClient@veltoclient@qz@@QEAA_NIIPEBD0@Z"
    "?Update@VeltoClient@veltoclient@qz@@QEAAXXZ"
    "?Write@SavegameWriter@veltoclient@qz@@QEAAXIPEAVISavegameWriteListener@23@PEAXI@Z"
)

if(ARCH STREQUAL "i686")
    list(TRANSFORM expected REPLACE "@([QA])EAA" "@\\1AE")
    list(TRANSFORM expected REPLACE "PE([AB])" "P\\1")
endif()

function(fail message)
    message(FATAL_ERROR "${LIBRARY}: ${message}")
endfunction()

# read_names(<output> <readobj option> <file> <line regex>): the first group of every line of
# the listing that matches.
# undecorate(<output> <symbol>): the declaration a decorated name stands for.
function(undecorate output symbol)
    execute_process(COMMAND "${UNDNAME}" "${symbol}" OUTPUT_VARIABLE lines
        OUTPUT_STRIP_TRAILING_WHITESPACE)
    string(REGEX REPLACE "^.*\n" "" lines "${lines}")
    set(${output} "${lines}" PARENT_SCOPE)
endfunction()

function(read_names output option file pattern)
    execute_process(COMMAND "${READOBJ}" ${option} "${file}" OUTPUT_VARIABLE listing
        RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        fail("${READOBJ} ${option} ${file} failed")
    endif()
    string(REPLACE "\n" ";" lines "${listing}")
    set(names)
    foreach(line IN LISTS lines)
        if(line MATCHES "${pattern}")
            list(APPEND names "${CMAKE_MATCH_1}")
        endif()
    endforeach()
    list(SORT names)
    set(${output} "${names}" PARENT_SCOPE)
endfunction()

read_names(exports --coff-exports "${LIBRARY}" "^ *Name: (.+)$")
foreach(symbol IN LISTS exports)
    # Decided on the decorated name; the undecorated form makes the message readable.
    undecorate(undecorated "${symbol}")
    if(symbol MATCHES "^\\?\\?4")
        fail("exports an assignment: ${undecorated}")
    endif()
    if(NOT symbol MATCHES "^\\?(\\?[0-9A-Z_])?[A-Za-z0-9_]+@([A-Za-z0-9_]+@)?veltoclient@qz@@")
        fail("exports ${symbol} (${undecorated}), which is not in qz::veltoclient")
    endif()
    if(NOT symbol IN_LIST expected)
        fail("exports ${symbol} (${undecorated}), which the game's headers do not declare")
    endif()
endforeach()
foreach(symbol IN LISTS expected)
    if(NOT symbol IN_LIST exports)
        undecorate(undecorated "${symbol}")
        fail("does not export ${symbol}: ${undecorated}")
    endif()
endforeach()

# The import library is what the game's linker reads: the same names, as import symbols.
execute_process(COMMAND "${READOBJ}" --symbols "${IMPORT_LIBRARY}" OUTPUT_VARIABLE symbols)
foreach(symbol IN LISTS expected)
    string(FIND "${symbols}" "Symbol: __imp_${symbol}\n" found)
    if(found EQUAL -1)
        fail("the import library lacks __imp_${symbol}")
    endif()
endforeach()

read_names(dlls --coff-imports "${LIBRARY}" "^ *Name: ([^ ]+\\.dll)$")
foreach(dll IN LISTS dlls)
    string(TOLOWER "${dll}" dll)
    if(NOT dll MATCHES "^(kernel32|advapi32|ntdll|ucrtbase|vcruntime140|api-ms-win-[a-z0-9-]+)\\.dll$")
        fail("imports ${dll}, which is neither a system DLL nor an MSVC runtime DLL")
    endif()
endforeach()
list(LENGTH exports count)
message(STATUS "${count} exports as expected; imports: ${dlls}")
