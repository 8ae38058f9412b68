#ifndef QUIRE_EXPORT_H_
#define QUIRE_EXPORT_H_

// Only what carries this macro leaves the shared library; everything else is
// built with hidden visibility. On Windows the DLL exports it and its users
// import it; QUIRE_STATIC marks code linked with the library's objects
// themselves (its tests and tools), which import nothing.
#if defined(_WIN32)
#if defined(QUIRE_BUILDING_LIBRARY)
#define QUIRE_EXPORT __declspec(dllexport)
#elif defined(QUIRE_STATIC)
#define QUIRE_EXPORT
#else
#define QUIRE_EXPORT __declspec(dllimport)
#endif
#else
#define QUIRE_EXPORT __attribute__((visibility("default")))
#endif

#endif  // QUIRE_EXPORT_H_
