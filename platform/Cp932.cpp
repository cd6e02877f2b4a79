#include "Cp932.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace cp932 {
namespace {

// One converter per direction and thread, opened once: opening one costs
// more than converting a line, and the books import converts every line.
iconv_t Converter(bool bToUtf8) {
  struct Handle {
    iconv_t cd;
    Handle(const char* t, const char* f) : cd(iconv_open(t, f)) {}
    ~Handle() {
      if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
    }
  };
  thread_local Handle toUtf8("UTF-8", "CP932");
  thread_local Handle fromUtf8("CP932", "UTF-8");
  return bToUtf8 ? toUtf8.cd : fromUtf8.cd;
}

bool Convert(bool bToUtf8, std::string_view text, std::string& out) {
  out.clear();
  // ASCII reads the same in both.
  if (std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; })) {
    out.assign(text);
    return true;
  }
  iconv_t cd = Converter(bToUtf8);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  // A conversion that failed half-way leaves no state behind.
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  std::string result;
  result.resize(text.size() * 4 + 4);
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  char* dst = result.data();
  std::size_t dstLeft = result.size();
  bool ok = true;
  while (inLeft > 0) {
    if (iconv(cd, &in, &inLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1)) {
      ok = false;  // EILSEQ, EINVAL (truncated sequence); E2BIG cannot happen at 4x
      break;
    }
  }
  if (!ok) return false;
  result.resize(result.size() - dstLeft);
  out = std::move(result);
  return true;
}

}  // namespace

bool ToUtf8(std::string_view text, std::string& out) { return Convert(true, text, out); }

bool FromUtf8(std::string_view text, std::string& out) { return Convert(false, text, out); }

bool IsCp932(std::string_view text) {
  // Bit c of the first 256: the single byte c; bit (lead << 8 | trail): the pair.
  static const std::vector<bool> valid = [] {
    std::vector<bool> table(65536, false);
    std::string out;
    for (int c = 0; c < 256; ++c) {
      const char single[] = {static_cast<char>(c)};
      if (!IsLeadByte(static_cast<unsigned char>(c))) {
        table[static_cast<std::size_t>(c)] = Convert(true, std::string_view(single, 1), out);
        continue;
      }
      for (int t = 0x40; t < 256; ++t) {
        const char pair[] = {static_cast<char>(c), static_cast<char>(t)};
        table[static_cast<std::size_t>(c << 8 | t)] = Convert(true, std::string_view(pair, 2), out);
      }
    }
    return table;
  }();
  // A lone lead byte at the end is a single byte, and the table holds no
  // lead byte alone.
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t width = CharLength(text, i);
    std::size_t code = static_cast<unsigned char>(text[i]);
    if (width == 2) code = code << 8 | static_cast<unsigned char>(text[i + 1]);
    if (!valid[code]) return false;
    i += width;
  }
  return true;
}

std::size_t CutLength(std::string_view text, std::size_t limit) {
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t width = CharLength(text, i);
    if (i + width > limit) break;
    i += width;
  }
  return i;
}

}  // namespace cp932
