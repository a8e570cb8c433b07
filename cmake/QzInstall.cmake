# Installs the public headers, the loader and a CMake package, so that a game can write
#   find_package(veltoclient CONFIG REQUIRED)
#   target_link_libraries(game PRIVATE veltoclient::veltoclient)
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(TARGETS veltoclient EXPORT veltoclientTargets
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
)
install(DIRECTORY "${PROJECT_SOURCE_DIR}/include/veltoclient"
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

set(QZ_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/veltoclient)
install(EXPORT veltoclientTargets NAMESPACE veltoclient:: DESTINATION ${QZ_PACKAGE_DIR})
configure_package_config_file("${CMAKE_CURRENT_LIST_DIR}/veltoclientConfig.cmake.in"
    "${PROJECT_BINARY_DIR}/veltoclientConfig.cmake" INSTALL_DESTINATION ${QZ_PACKAGE_DIR})
write_basic_package_version_file("${PROJECT_BINARY_DIR}/veltoclientConfigVersion.cmake"
    COMPATIBILITY SameMajorVersion)
install(FILES "${PROJECT_BINARY_DIR}/veltoclientConfig.cmake"
              "${PROJECT_BINARY_DIR}/veltoclientConfigVersion.cmake"
    DESTINATION ${QZ_PACKAGE_DIR})
