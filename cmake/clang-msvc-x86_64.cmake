# Cross build for 64-bit Windows in the MSVC ABI, for games built with Microsoft's compiler.
set(QZ_MSVC_ARCH x86_64)
include("${CMAKE_CURRENT_LIST_DIR}/clang-msvc-common.cmake")
