# cmake -DLIBRARY=<32-bit DLL> -DREADOBJ=<llvm-readobj> -P CheckSafeSeh.cmake
#
# A 32-bit image that Windows dispatches exceptions through: not marked NO_SEH, and a load
# configuration with a table of the module's exception handlers. Without them Windows ends the
# process at the first exception that reaches one of the module's frames (Wine does not check).

cmake_minimum_required(VERSION 3.25)

function(fail message)
    message(FATAL_ERROR "${LIBRARY}: ${message}")
endfunction()

function(read_listing output option)
    execute_process(COMMAND "${READOBJ}" ${option} "${LIBRARY}" OUTPUT_VARIABLE listing
        RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        fail("${READOBJ} ${option} failed")
    endif()
    set(${output} "${listing}" PARENT_SCOPE)
endfunction()

read_listing(headers --file-headers)
if(NOT headers MATCHES "Machine: IMAGE_FILE_MACHINE_I386")
    fail("is not a 32-bit x86 image")
endif()
if(headers MATCHES "IMAGE_DLL_CHARACTERISTICS_NO_SEH")
    fail("is marked NO_SEH: its load configuration is missing")
endif()

read_listing(config --coff-load-config)
if(NOT config MATCHES "SEHandlerTable: 0x0*[1-9A-Fa-f]")
    fail("has no SafeSEH handler table in its load configuration")
endif()
if(NOT config MATCHES "SEHandlerCount: ([0-9]+)" OR CMAKE_MATCH_1 EQUAL 0)
    fail("lists no exception handlers in its load configuration")
endif()
message(STATUS "SafeSEH table with ${CMAKE_MATCH_1} handlers")
