#include "Cp932.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

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

std::size_t CutLength(std::string_view text, std::size_t limit) {
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t width =
        IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    if (i + width > limit) break;
    i += width;
  }
  return i;
}

}  // namespace cp932
