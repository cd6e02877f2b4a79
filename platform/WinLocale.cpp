#include "WinLocale.h"

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <cstring>
#include <memory>
#include <string>

#include "Cp932.h"

namespace {

const icu::Transliterator* FullWidth() {
  static const std::unique_ptr<icu::Transliterator> instance = [] {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Transliterator> t(icu::Transliterator::createInstance(
        icu::UnicodeString::fromUTF8("Halfwidth-Fullwidth"), UTRANS_FORWARD, status));
    return U_SUCCESS(status) ? std::move(t) : nullptr;
  }();
  return instance.get();
}

bool MapFullWidth(const std::string& text, std::string& out) {
  const icu::Transliterator* transliterator = FullWidth();
  std::string utf8;
  if (transliterator == nullptr || !cp932::ToUtf8(text, utf8)) return false;
  icu::UnicodeString unicode = icu::UnicodeString::fromUTF8(utf8);
  transliterator->transliterate(unicode);
  utf8.clear();
  unicode.toUTF8String(utf8);
  return cp932::FromUtf8(utf8, out);
}

}  // namespace

LCID GetSystemDefaultLCID() { return 0x0411; }

int LCMapStringA(LCID, DWORD flags, LPCSTR src, int srcLength, LPSTR dest, int destCapacity) {
  if (flags != LCMAP_FULLWIDTH || src == nullptr || srcLength == 0 || srcLength < -1 ||
      destCapacity < 0 || (destCapacity > 0 && dest == nullptr))
    return 0;
  const std::size_t length =
      srcLength == -1 ? std::strlen(src) + 1 : static_cast<std::size_t>(srcLength);
  std::string mapped;
  if (!MapFullWidth(std::string(src, length), mapped)) return 0;
  if (destCapacity == 0) return static_cast<int>(mapped.size());
  if (mapped.size() > static_cast<std::size_t>(destCapacity)) return 0;
  std::memcpy(dest, mapped.data(), mapped.size());
  return static_cast<int>(mapped.size());
}
