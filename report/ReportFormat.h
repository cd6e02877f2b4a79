#pragma once
// Number and name texts the report's outputs share (CP932).

#include <cstdint>
#include <cstring>

#include "WinTypes.h"

namespace report {

// A fixed-size text field of a record, up to its first NUL.
template <std::size_t N>
CString FieldText(const char (&field)[N]) {
  return CString(field, strnlen(field, N));
}
// A whole number with thousands separators: -1,234,567.
CString Grouped(double dValue);
// A whole number without separators: -1234567.
CString Plain(double dValue);
// The Japanese name of an account class of the books.
CString ClassName(std::uint8_t byClass);
// CP932 text to UTF-8; bytes that are not CP932 become "?".
std::string ToUtf8(const CString& strText);
// Display width in columns: a double-byte character takes two.
std::size_t Width(const CString& strText);

}  // namespace report
