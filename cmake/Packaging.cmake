# Debian packages from the install rules, one a component:
#   libquirecommon1     the shared library
#   libquirecommon-dev  headers, the .so link, the CMake package, the .pc file
#   quire               the command-line tool and its manual page
#   libquirecommon-java the Java binding's jar, where a JDK is found
#   libquirecommon-jni  its JNI library
# Built by `cpack --preset deb` from the deb preset, which installs under /usr.
set(QUIRE_DEB_COMPONENTS runtime development tool)
if(QUIRE_JAVA_FOUND)
  list(APPEND QUIRE_DEB_COMPONENTS java jni)
endif()
foreach(component ${QUIRE_DEB_COMPONENTS})
  set(doc ${CMAKE_INSTALL_DATAROOTDIR}/doc/${QUIRE_DEB_${component}})
  install(FILES packaging/copyright DESTINATION ${doc} COMPONENT ${component})
  # Debian wants the changelog compressed, without a time stamp in it.
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS packaging/changelog)
  set(changelog ${PROJECT_BINARY_DIR}/packaging/${component}/changelog.gz)
  file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/packaging/${component})
  execute_process(COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/packaging/changelog
                  OUTPUT_FILE ${changelog})
  install(FILES ${changelog} DESTINATION ${doc} COMPONENT ${component})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quirecommon)
set(CPACK_PACKAGE_VENDOR "quirecommon developers")
set(CPACK_PACKAGE_CONTACT "quirecommon developers <dev@quirecommon.invalid>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL ${QUIRE_DEB_COMPONENTS})
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://quirecommon.invalid/")

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME ${QUIRE_DEB_runtime})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
# Our own shlibs and an ldconfig trigger: CPack's generated ones come with
# maintainer scripts that call ldconfig, which Debian no longer wants.
configure_file(packaging/shlibs.in ${PROJECT_BINARY_DIR}/packaging/shlibs @ONLY)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA
  ${PROJECT_BINARY_DIR}/packaging/shlibs ${PROJECT_SOURCE_DIR}/packaging/triggers)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
string(CONCAT CPACK_COMPONENT_RUNTIME_DESCRIPTION
  "common value types of the Quire PDF toolkit\n"
  "The shared library that the Quire PDF toolkit's libraries and language\n"
  "bindings pass their common types through: a string held at once as\n"
  "multibyte text and UCS-2, the error codes and a bilingual exception,\n"
  "input and output stream parameters, and a registry of native objects.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME ${QUIRE_DEB_development})
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS
  "${QUIRE_DEB_runtime} (= ${PROJECT_VERSION})")
string(CONCAT CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION
  "common value types of the Quire PDF toolkit - development files\n"
  "Headers, the CMake package (find_package(QuireCommon)) and the\n"
  "pkg-config file for building programs against libquirecommon.")

set(CPACK_DEBIAN_TOOL_PACKAGE_NAME ${QUIRE_DEB_tool})
set(CPACK_DEBIAN_TOOL_PACKAGE_SECTION utils)
string(CONCAT CPACK_COMPONENT_TOOL_DESCRIPTION
  "command-line companion of the Quire PDF toolkit's common library\n"
  "The quire tool prints the toolkit's error codes with their English and\n"
  "Japanese messages, shows which multibyte encoding the environment\n"
  "chooses, converts text between WINDOWS31J, EUC-JP, ISO-2022-JP, UTF-8\n"
  "and GBK, and copies files through the library's stream parameters.")

# Debian's Java policy: the jar in an architecture-independent libXXX-java,
# which depends on the libXXX-jni that holds its native code.
if(QUIRE_JAVA_FOUND)
  set(CPACK_DEBIAN_JAVA_PACKAGE_NAME ${QUIRE_DEB_java})
  set(CPACK_DEBIAN_JAVA_PACKAGE_SECTION java)
  set(CPACK_DEBIAN_JAVA_PACKAGE_ARCHITECTURE all)
  set(CPACK_DEBIAN_JAVA_PACKAGE_DEPENDS "${QUIRE_DEB_jni} (= ${PROJECT_VERSION})")
  string(CONCAT CPACK_COMPONENT_JAVA_DESCRIPTION
    "common value types of the Quire PDF toolkit - Java binding\n"
    "The quire.common classes: the error codes, the bilingual exception, a\n"
    "string held by the native library, and input and output stream\n"
    "parameters on files or on java.io streams.")
  set(CPACK_DEBIAN_JNI_PACKAGE_NAME ${QUIRE_DEB_jni})
  set(CPACK_DEBIAN_JNI_PACKAGE_SECTION java)
  # dpkg-shlibdeps finds libquirecommon in the build tree but knows no package
  # for it: the dependency that its shlibs file would give is written here.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR})
  set(CPACK_DEBIAN_JNI_PACKAGE_DEPENDS "${QUIRE_DEB_runtime} (>= ${PROJECT_VERSION})")
  string(CONCAT CPACK_COMPONENT_JNI_DESCRIPTION
    "common value types of the Quire PDF toolkit - JNI library\n"
    "The native code of the quire.common Java classes, in the JNI directory\n"
    "that the JVM searches.")
endif()

include(CPack)
