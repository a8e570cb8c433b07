# Read after CMake's platform rules for the MSVC-ABI cross build
# (CMAKE_USER_MAKE_RULES_OVERRIDE_<LANG>), to mend two of them.
foreach(language IN ITEMS C CXX)
    # Links run the linker directly instead of through CMake's vs_link wrapper, which hides the
    # linker's output unless the link fails. Nothing here needs what the wrapper adds
    # (manifests, incremental links).
    foreach(rule IN ITEMS CREATE_SHARED_LIBRARY CREATE_SHARED_MODULE LINK_EXECUTABLE)
        foreach(wrapper IN ITEMS _CMAKE_VS_LINK_DLL _CMAKE_VS_LINK_EXE)
            if(DEFINED CMAKE_${language}_${rule} AND NOT "${${wrapper}}" STREQUAL "")
                string(REPLACE "${${wrapper}}" "" CMAKE_${language}_${rule}
                               "${CMAKE_${language}_${rule}}")
            endif()
        endforeach()
    endforeach()
    # Debug builds go without the run-time checks (/RTC1): their support functions are part of
    # Microsoft's static runtime, which this runtime part does not reproduce.
    string(REPLACE "/RTC1" "" CMAKE_${language}_FLAGS_DEBUG_INIT
                   "${CMAKE_${language}_FLAGS_DEBUG_INIT}")
endforeach()
