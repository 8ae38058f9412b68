// Linked with --wrap for the four component operations, so that the test
// sees which of them a conversion really calls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ConvLib.h"
#include "quire/VelParamString.h"
#include "tests/TestSupport.h"
#include "text/VelCodeConverter.h"

namespace {
std::string calls;
}  // namespace

extern "C" {
int __real_convOpenOutput(ConvContext*, const ConvOutputOptions*, const char*);
int __real_convOpenInput(ConvContext*, const ConvInputOptions*, const char*);
int __real_convExecute(ConvContext*);
int __real_convClose(ConvContext*);

int __wrap_convOpenOutput(ConvContext* c, const ConvOutputOptions* o, const char* name) {
  calls += "output ";
  return __real_convOpenOutput(c, o, name);
}
int __wrap_convOpenInput(ConvContext* c, const ConvInputOptions* o, const char* name) {
  calls += "input ";
  return __real_convOpenInput(c, o, name);
}
int __wrap_convExecute(ConvContext* c) {
  calls += "execute ";
  return __real_convExecute(c);
}
int __wrap_convClose(ConvContext* c) {
  calls += "close ";
  return __real_convClose(c);
}
}  // extern "C"

namespace {

using Quire::VelCodeConverter;
using Quire::VelParamString;
using quire_test::u16;

// Decodes "あ" in EUC-JP into a poisoned buffer of four units, with a
// capacity of three; gives the calls made and the units left.
std::string decodeWith(const char* from, const char* to, std::vector<unsigned short>* units) {
  calls.clear();
  units->assign(4, 0xA5A5);
  VelCodeConverter(from, to).decodeBuffer("\xA4\xA2", 2, units->data(), 6);
  return calls;
}

TEST(ConvRefusal, LaterCallsAreSkippedAndTheTextIsEmpty) {
  std::vector<unsigned short> units;
  EXPECT_EQ("output input execute close ", decodeWith("EUC-JP", "ISO-10646-UCS-2", &units));
  EXPECT_EQ(std::vector<unsigned short>({0x3042, 0, 0, 0xA5A5}), units);

  const std::vector<unsigned short> empty = {0, 0, 0, 0xA5A5};
  EXPECT_EQ("output ", decodeWith("EUC-JP", "bogus", &units));
  EXPECT_EQ(empty, units);
  EXPECT_EQ("output input ", decodeWith("bogus", "ISO-10646-UCS-2", &units));
  EXPECT_EQ(empty, units);

  calls.clear();
  std::string bytes(8, 'x');
  VelCodeConverter("utf-16", "UTF-8").encodeBuffer(u16(u"あ").c_str(), 1, &bytes[0], 6);
  EXPECT_EQ("output input ", calls);
  EXPECT_EQ(std::string(6, '\0') + "xx", bytes);
}

TEST(ConvRefusal, RefusedConversionsOfStringsGiveEmptyText) {
  quire_test::ScopedEncoding chosen("UTF-8");
  const VelParamString source(u16(u"日本").c_str());
  VelParamString target("old");
  calls.clear();
  VelCodeConverter("UTF-8", "bogus").decode(source, target);
  EXPECT_EQ("output ", calls);
  EXPECT_EQ(0, target.length());

  target = "old";
  calls.clear();
  VelCodeConverter("bogus", "UTF-8").encode(source, target);
  EXPECT_EQ("output input ", calls);
  EXPECT_EQ(0, target.length());
}

}  // namespace
