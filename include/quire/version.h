#ifndef QUIRE_VERSION_H_
#define QUIRE_VERSION_H_

/// \file
/// The library's version, for the preprocessor. The build reads it from here,
/// so this is the one place that states it.

/// Changes with every incompatible change of the interface and names the
/// shared library (libquirecommon.so.1).
#define QUIRE_VERSION_MAJOR 1
/// Changes with every compatible addition.
#define QUIRE_VERSION_MINOR 0
/// Changes with every release that only mends.
#define QUIRE_VERSION_PATCH 0

/// \cond INTERNAL
#define QUIRE_STRINGIZE_(x) #x
#define QUIRE_STRINGIZE(x) QUIRE_STRINGIZE_(x)
/// \endcond
/// "MAJOR.MINOR.PATCH".
#define QUIRE_VERSION_STRING            \
  QUIRE_STRINGIZE(QUIRE_VERSION_MAJOR) "." \
  QUIRE_STRINGIZE(QUIRE_VERSION_MINOR) "." QUIRE_STRINGIZE(QUIRE_VERSION_PATCH)

#endif  // QUIRE_VERSION_H_
