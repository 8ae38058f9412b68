include(CMakePackageConfigHelpers)

install(TARGETS quirecommon EXPORT QuireCommonTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY include/quire DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(TARGETS quire RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(QUIRE_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/QuireCommon)
install(EXPORT QuireCommonTargets
  NAMESPACE QuireCommon::
  DESTINATION ${QUIRE_CMAKE_DIR})
configure_package_config_file(cmake/QuireCommonConfig.cmake.in
  ${PROJECT_BINARY_DIR}/QuireCommonConfig.cmake
  INSTALL_DESTINATION ${QUIRE_CMAKE_DIR})
write_basic_package_version_file(
  ${PROJECT_BINARY_DIR}/QuireCommonConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES
  ${PROJECT_BINARY_DIR}/QuireCommonConfig.cmake
  ${PROJECT_BINARY_DIR}/QuireCommonConfigVersion.cmake
  DESTINATION ${QUIRE_CMAKE_DIR})

# Relative to the .pc file, so that the package works under any prefix.
file(RELATIVE_PATH QUIRE_PC_TO_PREFIX "/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/")
string(REGEX REPLACE "/$" "" QUIRE_PC_TO_PREFIX "${QUIRE_PC_TO_PREFIX}")
configure_file(cmake/quirecommon.pc.in ${PROJECT_BINARY_DIR}/quirecommon.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/quirecommon.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
