#include "platform/conv/Units.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/conv/Ascii.h"

namespace {

// One run over in from its second byte (so that no unit is aligned) into room units and half
// a unit more: the bytes it read and wrote, then the whole output.
template <typename Run>
std::string outcome(Run run, std::string in, std::size_t unitBytes, std::size_t room) {
  std::string out(unitBytes * room + 17, '\xA5');
  const auto* const from = reinterpret_cast<const unsigned char*>(&in[1]);
  auto* const to = reinterpret_cast<unsigned char*>(&out[1]);
  const unsigned char* p = from;
  unsigned char* q = to;
  run(p, from + in.size() - 1, q, to + unitBytes * room + unitBytes - 1);
  return std::to_string(p - from) + " " + std::to_string(q - to) + " " + out;
}

// The ASCII runs, 16 at a time with SSE2 or NEON and one by one in the tails: every length
// past two blocks, stopped by each kind of unit at each place or by the room.
template <bool kBigEndian, bool kStopAtEscape>
void checkRuns() {
  // Only widening may stop at ESC; narrowing stops at the first unit past ASCII.
  const auto stops = [](unsigned v, bool atEscape) { return v >= 0x80 || (atEscape && v == 0x1B); };
  for (std::size_t n = 0; n <= 40; ++n)
    for (std::size_t place = 0; place <= n; ++place)  // n: no odd unit
      for (unsigned odd : {0x1B, 0x80, 0x141, 0x4100})
        for (std::size_t room : {n, n / 2}) {
          SCOPED_TRACE(testing::Message() << odd << " at " << place << " of " << n << ", " << room);
          std::string narrow = "x", wide = "x", widened;
          std::size_t widenStop = room, narrowStop = room;
          for (std::size_t i = 0; i < n; ++i) {
            const unsigned unit = i == place ? odd : (i * 29 + 1) % 0x80;
            const char low = static_cast<char>(unit), high = static_cast<char>(unit >> 8);
            narrow += low;
            wide += kBigEndian ? std::string{high, low} : std::string{low, high};
            widened += kBigEndian ? std::string{'\0', low} : std::string{low, '\0'};
            if (stops(unit & 0xFF, kStopAtEscape)) widenStop = std::min(widenStop, i);
            if (stops(unit, false)) narrowStop = std::min(narrowStop, i);
          }
          wide += 'x';  // half a unit, which is no unit
          const auto expect = [](std::size_t read, const std::string& written, std::size_t size) {
            return std::to_string(read) + " " + std::to_string(written.size()) + " \xA5" +
                   written + std::string(size - 1 - written.size(), '\xA5');
          };
          ASSERT_EQ(outcome(convlib::widenAscii<kBigEndian, kStopAtEscape>, narrow, 2, room),
                    expect(widenStop, widened.substr(0, 2 * widenStop), 2 * room + 17));
          ASSERT_EQ(outcome(convlib::narrowAscii<kBigEndian>, wide, 1, room),
                    expect(2 * narrowStop, narrow.substr(1, narrowStop), room + 17));
        }
}

TEST(AsciiRuns, WidenAndNarrowAsFarAsTheyMayInEitherOrder) {
  checkRuns<false, false>();
  checkRuns<true, false>();
  checkRuns<false, true>();
  checkRuns<true, true>();
}

// Read eight bytes or four units at a time, then one by one: with a plain "~" anywhere text is
// plain; ESC, SO, SI or a byte above 0x7F anywhere make it not, and so does a unit above 0xFF.
TEST(AsciiRuns, PlainAsciiExcludesShiftsAndHighBytesAnywhere) {
  const std::string plain = "0123456789abcdef\x7F\x01";
  for (std::size_t at = 0; at < plain.size(); ++at)
    for (unsigned short odd : {0x7E, 0x1B, 0x0E, 0x0F, 0x80, 0x141}) {
      std::basic_string<unsigned short> units(plain.begin(), plain.end());
      units[at] = odd;
      const std::string bytes(units.begin(), units.end());  // 0x141 narrows to a plain 'A'
      EXPECT_EQ(odd == 0x7E || odd == 0x141, convlib::isPlainAscii(bytes.data(), bytes.size()))
          << at;
      EXPECT_EQ(odd == 0x7E, convlib::isPlainAscii(units.data(), units.size())) << at;
    }
}

}  // namespace
