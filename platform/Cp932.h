#pragma once
// Conversion between code page 932 (Windows' Shift_JIS) and UTF-8, with the
// Windows tables: 0x81 0x60 is U+FF5E, the NEC and IBM extensions convert.

#include <string>
#include <string_view>

namespace cp932 {

// False when the input holds bytes that are not CP932; out is then empty.
bool ToUtf8(std::string_view text, std::string& out);
// False when the input is not UTF-8 or has a character with no CP932 form.
bool FromUtf8(std::string_view text, std::string& out);

// What _ismbblead gives for code page 932: 0x81-0x9F and 0xE0-0xFC.
constexpr bool IsLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// The length of the character at byte i: 2 for a lead byte with a byte after
// it, else 1, so a lone lead byte at the end is one character and a scan
// stepping by this never passes the end.
constexpr std::size_t CharLength(std::string_view text, std::size_t i) {
  return i + 1 < text.size() && IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
}

// True when the text is CP932 that converts, as ToUtf8 would judge it, but
// without converting: a table of the valid codes, made once.
bool IsCp932(std::string_view text);

// The longest prefix of text no longer than limit bytes that does not end in
// the middle of a double-byte character.
std::size_t CutLength(std::string_view text, std::size_t limit);

}  // namespace cp932
