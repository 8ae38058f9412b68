#include <cstdio>

#include "text/EncodingChoice.h"
#include "tools/Commands.h"

namespace quire_tool {

int runEncoding(int argc, char** argv) {
  Args operands;
  const int status = readOperands(
      argc, argv,
      "usage: quire encoding\n\n"
      "Prints the multibyte encoding that the library chooses now and which\n"
      "variable decided it: VEL30_MBCS_ENCODING, LANG, or the default.\n",
      {}, &operands);
  if (status != kGoOn) return status;
  Quire::EncodingSource source;
  const char* name = Quire::getMBCSEncoding(&source);
  const char* why = source == Quire::EncodingSource::kVel30Variable ? "VEL30_MBCS_ENCODING"
                    : source == Quire::EncodingSource::kLangVariable ? "LANG"
                                                                     : "default";
  std::printf("%s (%s)\n", name, why);
  return 0;
}

}  // namespace quire_tool
