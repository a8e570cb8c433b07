# What the MSVC-ABI cross builds share, for games built with Microsoft's compiler; the arch
# files set QZ_MSVC_ARCH (x86_64 or i686) and include this. The clang-cl driver (so
# MSVC-style options and diagnostics are used) and lld-link, with Wine's C and Win32 headers
# and import libraries, Wine's builds of the MSVC runtime DLLs (ucrtbase.dll,
# vcruntime140.dll), libc++ headers used header-only for the few standard library templates
# the sources need, and the static part of the MSVC runtime that does not exist here from
# cmake/msvc-runtime. Tests run under Wine of the build's bitness through the crosscompiling
# emulator.
set(CMAKE_SYSTEM_NAME Windows)
# Tells the project that this is the cross build without GoogleTest (see the root CMakeLists).
set(QZ_MSVC_CROSS_BUILD ON)

set(QZ_WINE_INCLUDE /usr/include/wine/wine)
set(QZ_MSVC_RUNTIME_DIR "${CMAKE_CURRENT_LIST_DIR}/msvc-runtime")
# Wine's winnt.h defines intrinsics that clang already provides: Wine's copies are renamed.
if(QZ_MSVC_ARCH STREQUAL "i686")
    set(CMAKE_SYSTEM_PROCESSOR X86)
    set(QZ_MSVC_TARGET i686-pc-windows-msvc)
    set(QZ_WINE_LIBRARIES /usr/lib/i386-linux-gnu/wine/i386-windows)
    set(QZ_WINE_INTRINSICS _InterlockedAnd64 _InterlockedCompareExchangePointer
        _InterlockedDecrement64 _InterlockedExchangeAdd64 _InterlockedExchangePointer
        _InterlockedIncrement64 _InterlockedOr64 _InterlockedXor64)
    set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/wine32-run.sh")
else()
    set(CMAKE_SYSTEM_PROCESSOR AMD64)
    set(QZ_MSVC_TARGET x86_64-pc-windows-msvc)
    set(QZ_WINE_LIBRARIES /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
    set(QZ_WINE_INTRINSICS _InterlockedCompareExchange128)
    set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/wine-run.sh")
endif()

set(CMAKE_C_COMPILER clang-cl-14)
set(CMAKE_CXX_COMPILER clang-cl-14)
set(CMAKE_C_COMPILER_TARGET ${QZ_MSVC_TARGET})
set(CMAKE_CXX_COMPILER_TARGET ${QZ_MSVC_TARGET})
# lld-link through a wrapper that shows its warnings and fails on an import of a symbol this
# runtime part defines; links call it directly (PlatformRules.cmake), not through vs_link.
set(CMAKE_LINKER "${QZ_MSVC_RUNTIME_DIR}/lld-link-checked.sh")
set(CMAKE_USER_MAKE_RULES_OVERRIDE_C "${QZ_MSVC_RUNTIME_DIR}/PlatformRules.cmake")
set(CMAKE_USER_MAKE_RULES_OVERRIDE_CXX "${QZ_MSVC_RUNTIME_DIR}/PlatformRules.cmake")
set(CMAKE_AR llvm-lib-14)
set(CMAKE_RC_COMPILER llvm-rc-14)
set(CMAKE_MT llvm-mt-14)
# The /MD runtime: the DLLs, never a static copy of the runtime in our DLL.
set(CMAKE_MSVC_RUNTIME_LIBRARY MultiThreadedDLL)

set(QZ_LIBCXX_INCLUDE /usr/lib/llvm-14/include/c++/v1)

# WCHAR is wchar_t, as in the Windows SDK (Wine would make it char16_t in C++).
set(QZ_MSVC_C_FLAGS "--target=${QZ_MSVC_TARGET} -D_UCRT -DWINE_UNICODE_NATIVE")
foreach(intrinsic IN LISTS QZ_WINE_INTRINSICS)
    string(APPEND QZ_MSVC_C_FLAGS " -D${intrinsic}=__wine${intrinsic}")
endforeach()
# The runtime part's headers come first: they mend declarations of Wine's (include/stdlib.h).
string(APPEND QZ_MSVC_C_FLAGS " /imsvc ${QZ_MSVC_RUNTIME_DIR}/include"
    " /imsvc ${QZ_WINE_INCLUDE}/msvcrt /imsvc ${QZ_WINE_INCLUDE}/windows")
# libc++ in front of the C headers it wraps. Its templates are instantiated in each module
# (no extern templates, no DLL of it), and without threads: there is no support for them here.
# Statics are initialized without the guard functions this runtime lacks; our code has no
# threads, and the games' own compiler decides for their code.
set(QZ_MSVC_CXX_FLAGS "/imsvc ${QZ_LIBCXX_INCLUDE} \
${QZ_MSVC_C_FLAGS} -D_LIBCPP_DISABLE_EXTERN_TEMPLATE -D_LIBCPP_DISABLE_VISIBILITY_ANNOTATIONS \
-D_LIBCPP_HAS_NO_THREADS /Zc:threadSafeInit-")
set(CMAKE_C_FLAGS_INIT "${QZ_MSVC_C_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "${QZ_MSVC_CXX_FLAGS}")

# Executables cannot link inside try_compile, before this runtime part exists there.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
get_property(QZ_IN_TRY_COMPILE GLOBAL PROPERTY IN_TRY_COMPILE)
if(NOT QZ_IN_TRY_COMPILE)
    include("${QZ_MSVC_RUNTIME_DIR}/MsvcRuntime.cmake")
    find_program(QZ_CLANG_CL NAMES clang-cl-14 REQUIRED)
    set(QZ_MSVC_RUNTIME_LIBRARY "${CMAKE_BINARY_DIR}/msvc-runtime/qz_msvc_runtime.lib")
    qz_build_msvc_runtime("${QZ_MSVC_RUNTIME_LIBRARY}" "${QZ_CLANG_CL}" "${QZ_MSVC_C_FLAGS}"
                          "${QZ_MSVC_CXX_FLAGS}")
    set(import_libraries)
    foreach(dll IN ITEMS vcruntime140 ucrtbase kernel32 advapi32)
        list(APPEND import_libraries "${QZ_WINE_LIBRARIES}/lib${dll}.a")
    endforeach()
    if(QZ_MSVC_ARCH STREQUAL "i686")
        include("${QZ_MSVC_RUNTIME_DIR}/ShortImportLibraries.cmake")
        # lld-link takes only objects with SafeSEH information into a 32-bit image, and
        # Wine's import libraries are long-format ones without it: short ones are made.
        qz_short_import_libraries(import_libraries "${CMAKE_BINARY_DIR}/msvc-runtime/imports"
                                  ${import_libraries})
    endif()
    # Only these libraries, never the names of Microsoft's own that the objects ask for.
    list(TRANSFORM import_libraries PREPEND "\"")
    list(TRANSFORM import_libraries APPEND "\"")
    list(JOIN import_libraries " " import_libraries)
    set(QZ_MSVC_LIBRARIES "\"${QZ_MSVC_RUNTIME_LIBRARY}\" ${import_libraries}")
    set(CMAKE_C_STANDARD_LIBRARIES "${QZ_MSVC_LIBRARIES}" CACHE STRING "" FORCE)
    set(CMAKE_CXX_STANDARD_LIBRARIES "${QZ_MSVC_LIBRARIES}" CACHE STRING "" FORCE)
endif()
foreach(kind IN ITEMS EXE SHARED MODULE)
    set(CMAKE_${kind}_LINKER_FLAGS_INIT "/nodefaultlib")
endforeach()
# The runtime part's one program entry (src/ExeEntry.c); named, so that the linker does not
# weigh it against the wmain of Wine's start-up objects in libucrtbase.a.
string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " /entry:mainCRTStartup")
