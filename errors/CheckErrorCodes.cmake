# Fails the build when the public header's code functions and the list in
# ErrorCodes.def differ in names or order: the list defines the functions,
# so a declaration without an entry would otherwise only fail at a caller's link.
file(STRINGS ${HEADER} header_lines REGEX "static int [A-Z_]+\\(\\);")
string(REGEX MATCHALL "static int [A-Z_]+" declared "${header_lines}")
string(REPLACE "static int " "" declared "${declared}")
file(STRINGS ${LIST} list_lines REGEX "^QUIRE_ERROR_(ROW|CODE)\\(")
string(REGEX MATCHALL "QUIRE_ERROR_(ROW|CODE)\\([A-Z_]+" listed "${list_lines}")
string(REGEX REPLACE "QUIRE_ERROR_(ROW|CODE)\\(" "" listed "${listed}")
if(NOT declared STREQUAL listed)
  message(FATAL_ERROR "VelErrorCode.h and ErrorCodes.def disagree:\n"
    "header: ${declared}\nlist:   ${listed}")
endif()
file(TOUCH ${STAMP})
