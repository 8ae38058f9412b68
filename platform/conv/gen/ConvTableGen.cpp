// Writes the conversion tables of platform/conv/tables from the answers of
// the C library's iconv, which is the reference the library follows:
//   quire_convgen OUTDIR
// Checks on the way what the codecs assume of the reference (ASCII maps to
// itself, ISO-2022-JP shares EUC-JP's JIS X 0208) and stops if it is wrong.
#include <iconv.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/conv/Encodings.h"

namespace {

using convlib::kEncodings;

const char* const kEucJpName = kEncodings[convlib::kEucJp].iconvName;
const char* const kIso2022JpName = kEncodings[convlib::kIso2022Jp].iconvName;

using Units = std::vector<std::uint16_t>;

[[noreturn]] void fail(const std::string& why) {
  std::fprintf(stderr, "quire_convgen: %s\n", why.c_str());
  std::exit(1);
}

void require(bool condition, const std::string& why) {
  if (!condition) fail(why);
}

// One iconv descriptor, back in its initial state before every question.
class Reference {
 public:
  Reference(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    require(cd_ != reinterpret_cast<iconv_t>(-1), std::string("iconv lacks ") + from + " to " + to);
  }
  ~Reference() { iconv_close(cd_); }
  Reference(const Reference&) = delete;
  Reference& operator=(const Reference&) = delete;

  // Converts all of in with room for at most outRoom bytes; false when iconv
  // refuses something. used is how much of in it read.
  bool convert(const std::string& in, std::size_t outRoom, std::string* out, std::size_t* used) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::string buffer(outRoom + 8, '\0');
    char* src = const_cast<char*>(in.data());
    char* dst = &buffer[0];
    std::size_t inLeft = in.size();
    std::size_t outLeft = outRoom;
    const bool ok = iconv(cd_, &src, &inLeft, &dst, &outLeft) != static_cast<std::size_t>(-1) &&
                    iconv(cd_, nullptr, nullptr, &dst, &outLeft) != static_cast<std::size_t>(-1);
    out->assign(buffer.data(), outRoom - outLeft);
    *used = in.size() - inLeft;
    return ok;
  }

 private:
  iconv_t cd_;
};

std::string bytes(std::initializer_list<unsigned> list) {
  std::string s;
  for (unsigned b : list) s += static_cast<char>(b);
  return s;
}

unsigned byteAt(const std::string& s, std::size_t i) { return static_cast<unsigned char>(s[i]); }

// The code point of the first character iconv reads from in when that
// character takes all of in; -1 when it does not.
long decodeWhole(Reference& decoder, const std::string& in) {
  std::string out;
  std::size_t used = 0;
  decoder.convert(in, 4, &out, &used);
  if (used != in.size() || out.size() != 4) return -1;
  const long cp = static_cast<long>(byteAt(out, 0)) << 24 | byteAt(out, 1) << 16 |
                  byteAt(out, 2) << 8 | byteAt(out, 3);
  require(cp <= 0xFFFF && (cp != 0 || in.size() == 1), "a character decodes outside the BMP");
  return cp;
}

// A decoded character as a table cell, where 0 means none.
std::uint16_t cell(long cp) { return cp < 0 ? 0 : static_cast<std::uint16_t>(cp); }

std::string utf32(unsigned cp) { return bytes({cp >> 24, cp >> 16 & 0xFF, cp >> 8 & 0xFF, cp & 0xFF}); }

// Decoding of a double-byte encoding: the characters of single bytes
// 0x80-0xFF, then a row of pairs for each lead byte that has any.
struct DecodeTable {
  Units single = Units(128);
  std::vector<unsigned> rowOf = std::vector<unsigned>(128);
  std::vector<Units> rows;
  unsigned trailLow = 0xFF, trailHigh = 0;
};

DecodeTable decodeTable(const char* name, bool tripleLead8F) {
  Reference decoder("UTF-32BE", name);
  DecodeTable table;
  for (unsigned b = 0; b < 0x80; ++b)
    require(decodeWhole(decoder, bytes({b})) == static_cast<long>(b), std::string(name) + ": ASCII changes");
  std::map<unsigned, Units> found;
  for (unsigned lead = 0x80; lead < 0x100; ++lead) {
    table.single[lead - 0x80] = cell(decodeWhole(decoder, bytes({lead})));
    if (tripleLead8F && lead == 0x8F) continue;
    Units row(256);
    bool any = false;
    for (unsigned trail = 0; trail < 0x100; ++trail) {
      row[trail] = cell(decodeWhole(decoder, bytes({lead, trail})));
      if (row[trail] == 0) continue;
      require(table.single[lead - 0x80] == 0, std::string(name) + ": a lead byte also stands alone");
      any = true;
      if (trail < table.trailLow) table.trailLow = trail;
      if (trail > table.trailHigh) table.trailHigh = trail;
    }
    if (any) found[lead] = row;
  }
  table.rows.push_back(Units(table.trailHigh - table.trailLow + 1));  // row 0: nothing
  for (const auto& entry : found) {
    table.rowOf[entry.first - 0x80] = static_cast<unsigned>(table.rows.size());
    table.rows.emplace_back(entry.second.begin() + table.trailLow,
                            entry.second.begin() + table.trailHigh + 1);
  }
  return table;
}

// EUC-JP's three-byte codes 8F A1-FE A1-FE (JIS X 0212), 94 by 94; every
// other 8F sequence must fail.
Units jis0212Table() {
  Reference decoder("UTF-32BE", kEucJpName);
  Units table(94 * 94);
  for (unsigned second = 0; second < 0x100; ++second)
    for (unsigned third = 0; third < 0x100; ++third) {
      const std::uint16_t cp = cell(decodeWhole(decoder, bytes({0x8F, second, third})));
      const bool inside = second >= 0xA1 && second <= 0xFE && third >= 0xA1 && third <= 0xFE;
      require(cp == 0 || inside, "EUC-JP: an 8F sequence outside A1-FE decodes");
      if (inside) table[(second - 0xA1) * 94 + third - 0xA1] = cp;
    }
  return table;
}

// Encoding: one cell per BMP code point. 0: the target cannot hold it; below
// 0x100: one byte; else two bytes, first byte high, except that EUC-JP's
// three-byte codes 8F xx yy are kept as xx, yy without its top bit.
Units encodeCells(const char* name, std::vector<unsigned>* dropped) {
  Reference encoder(name, "UTF-32BE");
  Units cells(0x10000);
  for (unsigned cp = 0; cp < 0x10000; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    std::string out;
    std::size_t used = 0;
    if (!encoder.convert(utf32(cp), 8, &out, &used)) continue;
    if (cp < 0x80) {
      require(out == bytes({cp}), std::string(name) + ": ASCII changes");
      continue;
    }
    if (out.empty()) {
      dropped->push_back(cp);  // iconv drops it in silence: it becomes "?"
      continue;
    }
    if (byteAt(out, 0) < 0x80) continue;  // never a non-ASCII character as ASCII bytes
    if (out.size() == 1) {
      cells[cp] = static_cast<std::uint16_t>(byteAt(out, 0));
    } else if (out.size() == 2) {
      cells[cp] = static_cast<std::uint16_t>(byteAt(out, 0) << 8 | byteAt(out, 1));
    } else {
      require(out.size() == 3 && byteAt(out, 0) == 0x8F && byteAt(out, 1) >= 0xA1 &&
                  byteAt(out, 2) >= 0xA1, std::string(name) + ": unexpected encoding length");
      cells[cp] = static_cast<std::uint16_t>(byteAt(out, 1) << 8 | (byteAt(out, 2) & 0x7F));
    }
  }
  return cells;
}

// Two levels: a block number for every 64 code points, and the distinct
// blocks, block 0 empty.
struct EncodeTable {
  Units index;
  Units blocks;
};

EncodeTable pageTable(const Units& cells) {
  EncodeTable table;
  std::map<Units, unsigned> known;
  const Units empty(64);
  known[empty] = 0;
  table.blocks = empty;
  for (unsigned start = 0; start < 0x10000; start += 64) {
    const Units block(cells.begin() + start, cells.begin() + start + 64);
    auto at = known.find(block);
    if (at == known.end()) {
      at = known.emplace(block, static_cast<unsigned>(known.size())).first;
      table.blocks.insert(table.blocks.end(), block.begin(), block.end());
    }
    table.index.push_back(static_cast<std::uint16_t>(at->second));
  }
  return table;
}

// ISO-2022-JP reads and writes JIS X 0208 as EUC-JP does without the top
// bits, and JIS-Roman's two differences from ASCII; the codec relies on it.
void checkIso2022Jp(const DecodeTable& eucJp, const Units& eucJpCells) {
  Reference decoder("UTF-32BE", kIso2022JpName);
  for (unsigned first = 0x21; first < 0x7F; ++first)
    for (unsigned second = 0x21; second < 0x7F; ++second) {
      const unsigned row = eucJp.rowOf[first];  // lead byte first + 0x80
      const unsigned expected = row == 0 ? 0 : eucJp.rows[row][second + 0x80 - eucJp.trailLow];
      const std::string in = bytes({0x1B, '$', 'B', first, second});
      std::string out;
      std::size_t used = 0;
      const bool ok = decoder.convert(in, 8, &out, &used) && out.size() == 4;
      const unsigned cp = ok ? byteAt(out, 2) << 8 | byteAt(out, 3) : 0;
      require(cp == expected, "ISO-2022-JP's JIS X 0208 differs from EUC-JP's");
    }
  Reference encoder(kIso2022JpName, "UTF-32BE");
  for (unsigned cp = 0x80; cp < 0x10000; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    std::string out;
    std::size_t used = 0;
    const bool ok = encoder.convert(utf32(cp), 16, &out, &used);
    const unsigned code = eucJpCells[cp];
    std::string expected;
    if (cp == 0xA5 || cp == 0x203E)
      expected = bytes({0x1B, '(', 'J', cp == 0xA5 ? 0x5Cu : 0x7Eu, 0x1B, '(', 'B'});
    else if (code >= 0xA1A1 && (code & 0xFF) >= 0xA1)
      expected = bytes({0x1B, '$', 'B', code >> 8 & 0x7F, code & 0x7F, 0x1B, '(', 'B'});
    require(ok ? out == expected : expected.empty(), "ISO-2022-JP writes what EUC-JP does not");
  }
}

class Writer {
 public:
  Writer(const std::string& path, const char* reference) : out_(path) {
    require(out_.good(), "cannot write " + path);
    out_ << "// This file is generated from the C library's iconv (" << reference
         << "); do not edit.\n"
         << "// Regenerate: cmake --build --preset default --target quire_convgen &&\n"
         << "//   build/default/platform/conv/gen/quire_convgen platform/conv/tables\n"
         << "#include \"platform/conv/Tables.h\"\n\nnamespace convlib {\nnamespace {\n";
  }
  ~Writer() { out_ << "\n}  // namespace convlib\n"; }

  template <typename Values>
  void array(const char* type, const std::string& name, const Values& values,
             bool shared = false) {
    out_ << (shared ? "\nextern const " : "\nconst ") << type << " " << name << "[" << values.size() << "] = {";
    for (std::size_t i = 0; i < values.size(); ++i) {
      out_ << (i % 12 == 0 ? "\n   " : "");
      char cell[16];
      std::snprintf(cell, sizeof cell, " 0x%04X,", static_cast<unsigned>(values[i]));
      out_ << cell;
    }
    out_ << "\n};\n";
  }

  void decode(const std::string& prefix, const DecodeTable& table) {
    array("std::uint16_t", prefix + "Single", table.single);
    array("std::uint8_t", prefix + "RowOf", table.rowOf);
    Units pairs;
    for (const Units& row : table.rows) pairs.insert(pairs.end(), row.begin(), row.end());
    array("std::uint16_t", prefix + "Pairs", pairs);
  }

  void encode(const std::string& prefix, const EncodeTable& table) {
    array("std::uint16_t", prefix + "Index", table.index);
    array("std::uint16_t", prefix + "Blocks", table.blocks);
  }

  void endOfArrays() { out_ << "\n}  // namespace\n"; }

  void decodeObject(const std::string& name, const std::string& prefix, const DecodeTable& t) {
    out_ << "\nextern const DecodeTable " << name << " = {" << prefix << "Single, " << prefix
         << "RowOf, " << prefix << "Pairs, 0x" << std::hex << t.trailLow << ", " << std::dec
         << t.trailHigh - t.trailLow + 1 << "};\n";
  }

  void encodeObject(const std::string& name, const std::string& prefix) {
    out_ << "\nextern const EncodeTable " << name << " = {" << prefix << "Index, " << prefix
         << "Blocks};\n";
  }

 private:
  std::ofstream out_;
};

void writeDoubleByte(const std::string& dir, const char* file, const char* reference,
                     const char* name) {
  std::vector<unsigned> dropped;
  const DecodeTable decode = decodeTable(reference, false);
  const EncodeTable encode = pageTable(encodeCells(reference, &dropped));
  Writer w(dir + "/" + file, reference);
  w.decode("k", decode);
  w.encode("k", encode);
  w.endOfArrays();
  w.decodeObject(std::string("k") + name + "Decode", "k", decode);
  w.encodeObject(std::string("k") + name + "Encode", "k");
  std::fprintf(stderr, "%s: %zu rows, %zu blocks, %zu dropped\n", reference, decode.rows.size(),
               encode.blocks.size() / 64, dropped.size());
}

void writeEucJp(const std::string& dir) {
  std::vector<unsigned> dropped;
  const DecodeTable decode = decodeTable(kEucJpName, true);
  const Units cells = encodeCells(kEucJpName, &dropped);
  checkIso2022Jp(decode, cells);
  const EncodeTable encode = pageTable(cells);
  Writer w(dir + "/EucJp.cpp", (std::string(kEucJpName) + ", " + kIso2022JpName).c_str());
  w.decode("k", decode);
  w.encode("k", encode);
  w.endOfArrays();
  w.array("std::uint16_t", "kJis0212Decode", jis0212Table(), true);
  w.decodeObject("kEucJpDecode", "k", decode);
  w.encodeObject("kEucJpEncode", "k");
  std::fprintf(stderr, "%s: %zu rows, %zu blocks, %zu dropped\n", kEucJpName, decode.rows.size(),
               encode.blocks.size() / 64, dropped.size());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) fail("usage: quire_convgen OUTDIR");
  const std::string dir = argv[1];
  writeDoubleByte(dir, "Windows31J.cpp", kEncodings[convlib::kWindows31J].iconvName, "Windows31J");
  writeEucJp(dir);
  writeDoubleByte(dir, "Gbk.cpp", kEncodings[convlib::kGbk].iconvName, "Gbk");
  return 0;
}
