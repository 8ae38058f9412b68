#include <cstdio>

#include "quire/VelParamString.h"
#include "tools/Commands.h"

namespace quire_tool {

int runInspect(int argc, char** argv) {
  Args operands;
  const int status = readOperands(
      argc, argv,
      "usage: quire inspect [--] TEXT\n\n"
      "Takes TEXT as narrow text in the current multibyte encoding and prints\n"
      "its bytes, its UCS-2 units and the three lengths.\n",
      {"TEXT"}, &operands);
  if (status != kGoOn) return status;
  const Quire::VelParamString text(operands[0].c_str());
  std::printf("narrow:");
  for (int i = 0; i < text.cstr_length(); ++i)
    std::printf(" %02X", static_cast<unsigned char>(text.c_str()[i]));
  std::printf("\nucs2:  ");
  for (int i = 0; i < text.wstr_length(); ++i) std::printf(" %04X", text.w_str()[i]);
  std::printf("\ncstr_length: %d\nwstr_length: %d\nlength: %d\n", text.cstr_length(),
              text.wstr_length(), text.length());
  return 0;
}

}  // namespace quire_tool
