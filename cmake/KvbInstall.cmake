include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(_kvb_targets kvb_platform_system kvb_platform_classes kvb_platform_graphics kvb_platform_controls
    kvb_host_headless kvb_platform kvb_base kvb_fourier kvb_scale kvb_chart kvb)
set(_kvb_existing)
foreach(t IN LISTS _kvb_targets)
  if(TARGET ${t})
    list(APPEND _kvb_existing ${t})
  endif()
endforeach()

install(TARGETS ${_kvb_existing} EXPORT kvbTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(DIRECTORY platform base fourier scale chart DESTINATION include/kvb
  FILES_MATCHING PATTERN "*.h")
install(EXPORT kvbTargets NAMESPACE kvb:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/kvb)
file(WRITE ${PROJECT_BINARY_DIR}/kvbConfig.cmake.in [=[
@PACKAGE_INIT@
include(CMakeFindDependencyMacro)
find_dependency(PkgConfig)
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
find_dependency(PNG)
include("${CMAKE_CURRENT_LIST_DIR}/kvbTargets.cmake")
]=])
configure_package_config_file(${PROJECT_BINARY_DIR}/kvbConfig.cmake.in
  ${PROJECT_BINARY_DIR}/kvbConfig.cmake INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/kvb)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/kvbConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/kvbConfig.cmake ${PROJECT_BINARY_DIR}/kvbConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/kvb)
