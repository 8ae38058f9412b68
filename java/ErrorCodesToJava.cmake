# Writes VelErrorCode.java from errors/ErrorCodes.def: one constant a code, in
# the list's order, so that Java and C++ read their values from one place.
#   cmake -DLIST=ErrorCodes.def -DTEMPLATE=VelErrorCode.java.in -DOUTPUT=... -P
file(STRINGS ${LIST} lines REGEX "^QUIRE_ERROR_(ROW|CODE)\\(")
set(QUIRE_JAVA_CONSTANTS "")
foreach(line IN LISTS lines)
  if(NOT line MATCHES "^QUIRE_ERROR_(ROW|CODE)\\(([A-Z_]+), *([0-9]+)")
    message(FATAL_ERROR "${LIST}: no name and value in: ${line}")
  endif()
  string(APPEND QUIRE_JAVA_CONSTANTS
    "    public static final int ${CMAKE_MATCH_2} = ${CMAKE_MATCH_3};\n")
endforeach()
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
