# Cross build for 32-bit Windows in the MSVC ABI, for games built with Microsoft's compiler:
# members are __thiscall, and the DLL carries a SafeSEH table in its load configuration.
set(QZ_MSVC_ARCH i686)
include("${CMAKE_CURRENT_LIST_DIR}/clang-msvc-common.cmake")
