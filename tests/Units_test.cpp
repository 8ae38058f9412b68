#include "platform/conv/Units.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

unsigned char* at(std::string& s, std::size_t i) { return reinterpret_cast<unsigned char*>(&s[i]); }

// The ASCII runs that the codecs widen and narrow 16 at a time with SSE2 or
// NEON, and one by one elsewhere and in the tails: every length past two
// blocks, unaligned, stopped by each kind of unit at each place or by the
// room, in both byte orders; nothing written past what the run reports.
template <bool kBigEndian, bool kStopAtEscape>
void checkRuns() {
  const auto stopIn = [](const std::vector<unsigned>& values, std::size_t room) {
    std::size_t i = 0;
    while (i < room && values[i] < 0x80 && !(kStopAtEscape && values[i] == 0x1B)) ++i;
    return i;
  };
  const std::size_t offset = 1;  // no unit aligned
  for (std::size_t n = 0; n <= 40; ++n)
    for (std::size_t place = 0; place <= n; ++place)  // n: no odd unit
      for (unsigned odd : {0x1B, 0x80, 0x141, 0x4100})
        for (std::size_t room : {n, n / 2}) {
          std::vector<unsigned> units(n), bytes(n);
          std::string narrow(offset, 'x'), wide(offset, 'x');
          for (std::size_t i = 0; i < n; ++i) {
            units[i] = i == place ? odd : (i * 29 + 1) % 0x80;
            bytes[i] = units[i] & 0xFF;
            narrow += static_cast<char>(bytes[i]);
            const char high = static_cast<char>(units[i] >> 8);
            wide += kBigEndian ? std::string{high, narrow.back()}
                               : std::string{narrow.back(), high};
          }
          wide += 'x';  // half a unit, which is no unit
          const auto line = [&] {
            return std::to_string(n) + ", " + std::to_string(odd) + " at " +
                   std::to_string(place) + ", room " + std::to_string(room);
          };

          std::string out(offset + 2 * n + 16, '\xA5'), want = out;
          std::size_t stop = stopIn(bytes, room);
          for (std::size_t i = 0; i < stop; ++i) {
            want[offset + 2 * i + kBigEndian] = narrow[offset + i];
            want[offset + 2 * i + !kBigEndian] = '\0';
          }
          const unsigned char* p = at(narrow, offset);
          unsigned char* q = at(out, offset);
          convlib::widenAscii<kBigEndian, kStopAtEscape>(p, p + n, q, q + 2 * room + 1);
          ASSERT_EQ(std::size_t(p - at(narrow, offset)), stop) << "widen " << line();
          ASSERT_EQ(std::size_t(q - at(out, offset)), 2 * stop) << "widen " << line();
          ASSERT_EQ(out, want) << "widen " << line();

          out.assign(offset + n + 16, '\xA5');
          want = out;
          stop = stopIn(units, room);
          want.replace(offset, stop, narrow, offset, stop);
          p = at(wide, offset);
          q = at(out, offset);
          convlib::narrowAscii<kBigEndian, kStopAtEscape>(p, p + 2 * n + 1, q, q + room);
          ASSERT_EQ(std::size_t(p - at(wide, offset)), 2 * stop) << "narrow " << line();
          ASSERT_EQ(std::size_t(q - at(out, offset)), stop) << "narrow " << line();
          ASSERT_EQ(out, want) << "narrow " << line();
        }
}

TEST(AsciiRuns, WidenAndNarrowAsFarAsTheyMayInEitherOrder) {
  checkRuns<false, false>();
  checkRuns<true, false>();
  checkRuns<false, true>();
  checkRuns<true, true>();
}

}  // namespace
