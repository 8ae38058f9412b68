# Install rules, by component: runtime (the shared library), development
# (headers, the .so link, the CMake package, the .pc file) and tool. Each
# component is one Debian package (cmake/Packaging.cmake).
set(QUIRE_DEB_runtime libquirecommon${PROJECT_VERSION_MAJOR})
set(QUIRE_DEB_development libquirecommon-dev)
set(QUIRE_DEB_tool quire)

install(TARGETS quirecommon EXPORT QuireCommonTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime
    NAMELINK_COMPONENT development
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)
install(DIRECTORY include/quire DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
  COMPONENT development)

install(EXPORT QuireCommonTargets
  NAMESPACE QuireCommon::
  DESTINATION ${QUIRE_CMAKE_DIR}
  COMPONENT development)
install(FILES
  ${PROJECT_BINARY_DIR}/QuireCommonConfig.cmake
  ${PROJECT_BINARY_DIR}/QuireCommonConfigVersion.cmake
  DESTINATION ${QUIRE_CMAKE_DIR}
  COMPONENT development)

# Relative to the .pc file, so that the package works under any prefix.
file(RELATIVE_PATH QUIRE_PC_TO_PREFIX "/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/")
string(REGEX REPLACE "/$" "" QUIRE_PC_TO_PREFIX "${QUIRE_PC_TO_PREFIX}")
configure_file(cmake/quirecommon.pc.in ${PROJECT_BINARY_DIR}/quirecommon.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/quirecommon.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
  COMPONENT development)

if(TARGET quire)
  install(TARGETS quire RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tool)
  # Compressed, as manual pages are installed; redone when the page changes.
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS tools/quire.1)
  execute_process(COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/tools/quire.1
                  OUTPUT_FILE ${PROJECT_BINARY_DIR}/quire.1.gz)
  install(FILES ${PROJECT_BINARY_DIR}/quire.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
          COMPONENT tool)
endif()

# The Java binding: the jar (versioned, with an unversioned link) under
# share/java, the JNI library beside libquirecommon or in QUIRE_JNI_SUBDIR of
# the library directory (the deb preset: jni, as Debian's Java policy asks),
# the JNI helpers for other bindings with the headers.
if(QUIRE_JAVA_FOUND)
  set(QUIRE_JNI_SUBDIR "" CACHE STRING
    "A directory under the library directory for the Java binding's JNI library")
  set(QUIRE_DEB_java libquirecommon-java)
  set(QUIRE_DEB_jni libquirecommon-jni)
  install_jar(quirecommon_java DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/java COMPONENT java)
  install(TARGETS quirecommon_jni LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/${QUIRE_JNI_SUBDIR}
          COMPONENT jni)
  install(FILES java/include/quire/java/JniSupport.h
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/quire/java COMPONENT development)
endif()

include(cmake/Packaging.cmake)
