# Cross build for 64-bit Windows in the MSVC ABI, for games built with Microsoft's compiler:
# the clang-cl driver (so MSVC-style options and diagnostics are used) and lld-link, with
# Wine's C and Win32 headers and import libraries, Wine's builds of the MSVC runtime DLLs
# (ucrtbase.dll, vcruntime140.dll), libc++ headers used header-only for the few standard
# library templates the sources need, and the static part of the MSVC runtime that does not
# exist here from cmake/msvc-runtime. Tests run under Wine through the crosscompiling emulator.
set(CMAKE_SYSTEM_NAME Windows)
# Tells the project that this is the cross build without GoogleTest (see the root CMakeLists).
set(QZ_MSVC_CROSS_BUILD ON)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(QZ_MSVC_TARGET x86_64-pc-windows-msvc)
set(CMAKE_C_COMPILER clang-cl-14)
set(CMAKE_CXX_COMPILER clang-cl-14)
set(CMAKE_C_COMPILER_TARGET ${QZ_MSVC_TARGET})
set(CMAKE_CXX_COMPILER_TARGET ${QZ_MSVC_TARGET})
set(CMAKE_LINKER lld-link-14)
set(CMAKE_AR llvm-lib-14)
set(CMAKE_RC_COMPILER llvm-rc-14)
set(CMAKE_MT llvm-mt-14)
# The /MD runtime: the DLLs, never a static copy of the runtime in our DLL.
set(CMAKE_MSVC_RUNTIME_LIBRARY MultiThreadedDLL)

set(QZ_WINE_INCLUDE /usr/include/wine/wine)
set(QZ_WINE_LIBRARIES /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
set(QZ_LIBCXX_INCLUDE /usr/lib/llvm-14/include/c++/v1)
set(QZ_MSVC_RUNTIME_DIR "${CMAKE_CURRENT_LIST_DIR}/msvc-runtime")

# WCHAR is wchar_t, as in the Windows SDK (Wine would make it char16_t in C++). Wine's winnt.h
# defines an intrinsic that clang already provides: Wine's copy is renamed.
set(QZ_MSVC_C_FLAGS "--target=${QZ_MSVC_TARGET} -D_UCRT -DWINE_UNICODE_NATIVE \
-D_InterlockedCompareExchange128=__wine_InterlockedCompareExchange128 \
/imsvc ${QZ_WINE_INCLUDE}/msvcrt /imsvc ${QZ_WINE_INCLUDE}/windows")
# libc++ in front of the C headers it wraps. Its templates are instantiated in each module
# (no extern templates, no DLL of it), and without threads: there is no support for them here.
# Statics are initialized without the guard functions this runtime lacks; our code has no
# threads, and the games' own compiler decides for their code.
set(QZ_MSVC_CXX_FLAGS "/imsvc ${QZ_LIBCXX_INCLUDE} /imsvc ${QZ_MSVC_RUNTIME_DIR}/include \
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
    # Only these libraries, never the names of Microsoft's own that the objects ask for.
    set(QZ_MSVC_LIBRARIES "\"${QZ_MSVC_RUNTIME_LIBRARY}\" ${QZ_WINE_LIBRARIES}/libvcruntime140.a \
${QZ_WINE_LIBRARIES}/libucrtbase.a ${QZ_WINE_LIBRARIES}/libkernel32.a \
${QZ_WINE_LIBRARIES}/libadvapi32.a")
    set(CMAKE_C_STANDARD_LIBRARIES "${QZ_MSVC_LIBRARIES}" CACHE STRING "" FORCE)
    set(CMAKE_CXX_STANDARD_LIBRARIES "${QZ_MSVC_LIBRARIES}" CACHE STRING "" FORCE)
endif()
foreach(kind IN ITEMS EXE SHARED MODULE)
    set(CMAKE_${kind}_LINKER_FLAGS_INIT "/nodefaultlib")
endforeach()

set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/wine-run.sh")
