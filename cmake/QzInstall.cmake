# Installs the public headers, the loader and a CMake package, so that a game can write
#   find_package(veltoclient CONFIG REQUIRED)
#   target_link_libraries(game PRIVATE veltoclient::veltoclient)
# and a service-library author can link veltoclient::veltodll for the entry points and the
# service-side listener interfaces (headers in include/veltodll/); a game in C or another
# language links veltoclient::veltoclient_c, the C interface. qz_common is linked into
# the loader and not needed by either, so it is not part of the package.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(TARGETS veltoclient veltoclient_c veltodll_headers EXPORT veltoclientTargets
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
)
# The 32-bit MinGW loader imports these (QzCompileOptions.cmake): they ship beside it.
if(QZ_MINGW_RUNTIME_DLLS)
    install(FILES ${QZ_MINGW_RUNTIME_DLLS} DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(DIRECTORY "${PROJECT_SOURCE_DIR}/include/veltoclient"
    "${PROJECT_SOURCE_DIR}/include/veltodll"
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

set(QZ_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/veltoclient)
install(EXPORT veltoclientTargets NAMESPACE veltoclient:: DESTINATION ${QZ_PACKAGE_DIR})
# The build tree is a package too: a game can point veltoclient_DIR at it without installing.
export(EXPORT veltoclientTargets NAMESPACE veltoclient::
    FILE "${PROJECT_BINARY_DIR}/veltoclientTargets.cmake")
configure_package_config_file("${CMAKE_CURRENT_LIST_DIR}/veltoclientConfig.cmake.in"
    "${PROJECT_BINARY_DIR}/veltoclientConfig.cmake" INSTALL_DESTINATION ${QZ_PACKAGE_DIR})
write_basic_package_version_file("${PROJECT_BINARY_DIR}/veltoclientConfigVersion.cmake"
    COMPATIBILITY SameMajorVersion)
install(FILES "${PROJECT_BINARY_DIR}/veltoclientConfig.cmake"
              "${PROJECT_BINARY_DIR}/veltoclientConfigVersion.cmake"
    DESTINATION ${QZ_PACKAGE_DIR})
