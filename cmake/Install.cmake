install(TARGETS quirecommon EXPORT QuireCommonTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY include/quire DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

install(EXPORT QuireCommonTargets
  NAMESPACE QuireCommon::
  DESTINATION ${QUIRE_CMAKE_DIR})
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
