#include "Cp932.h"

#include <iconv.h>

#include <cerrno>

namespace cp932 {
namespace {

bool Convert(const char* to, const char* from, std::string_view text, std::string& out) {
  out.clear();
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
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
  iconv_close(cd);
  if (!ok) return false;
  result.resize(result.size() - dstLeft);
  out = std::move(result);
  return true;
}

}  // namespace

bool ToUtf8(std::string_view text, std::string& out) { return Convert("UTF-8", "CP932", text, out); }

bool FromUtf8(std::string_view text, std::string& out) { return Convert("CP932", "UTF-8", text, out); }

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
