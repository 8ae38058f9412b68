// Linked with --wrap for the four component operations, so that the test
// sees which of them a conversion really calls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ConvLib.h"
#include "quire/VelParamString.h"
#include "tests/TestSupport.h"
#include "text/VelCodeConverter.h"

namespace { std::string calls; }  // the operations made, in order

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
int __wrap_convExecute(ConvContext* c) { calls += "execute "; return __real_convExecute(c); }
int __wrap_convClose(ConvContext* c) { calls += "close "; return __real_convClose(c); }
}  // extern "C"

namespace {

using Quire::VelCodeConverter;
using Quire::VelParamString;
using quire_test::u16;

TEST(ConvRefusal, LaterCallsAreSkippedAndTheTextIsEmpty) {
  // "あ" in EUC-JP into four poisoned units with room for three. The first
  // case shows that the wrappers see a conversion that is not refused.
  const struct { const char* from; const char* to; const char* calls; unsigned short first; }
      cases[] = {{"EUC-JP", "ISO-10646-UCS-2", "output input execute close ", 0x3042},
                 {"EUC-JP", "bogus", "output ", 0},
                 {"bogus", "ISO-10646-UCS-2", "output input ", 0}};
  for (const auto& c : cases) {
    calls.clear();
    std::vector<unsigned short> units(4, 0xA5A5);
    VelCodeConverter(c.from, c.to).decodeBuffer("\xA4\xA2", 2, units.data(), 6);
    EXPECT_EQ(c.calls, calls) << c.from << " to " << c.to;
    EXPECT_EQ(std::vector<unsigned short>({c.first, 0, 0, 0xA5A5}), units) << c.from;
  }
  calls.clear();
  std::string bytes(8, 'x');
  VelCodeConverter("utf-16", "UTF-8").encodeBuffer(u16(u"あ").c_str(), 1, &bytes[0], 6);
  EXPECT_EQ("output input ", calls);
  EXPECT_EQ(std::string(6, '\0') + "xx", bytes);
}

TEST(ConvRefusal, RefusedConversionsOfStringsGiveEmptyText) {
  quire_test::ScopedEncoding chosen("UTF-8");
  const VelParamString source(u16(u"日本").c_str());
  for (bool decoding : {true, false}) {
    VelParamString target("old");
    calls.clear();
    if (decoding) VelCodeConverter("UTF-8", "bogus").decode(source, target);
    else VelCodeConverter("bogus", "UTF-8").encode(source, target);
    EXPECT_EQ(decoding ? "output " : "output input ", calls);
    EXPECT_EQ(0, target.length());
  }
}

}  // namespace
