#pragma once
// Texts of the journal import: literals written as u8"" (so that they mean
// the same in every build), CP932 texts quoted for UTF-8 messages.

#include <string>

#include "Cp932.h"

namespace journal_text {

// A u8 literal as UTF-8, for messages.
inline std::string Utf8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

// A u8 literal in CP932, to compare with the files' fields.
inline std::string Cp932(const char8_t* s) {
  std::string out;
  cp932::FromUtf8(Utf8(s), out);
  return out;
}

// A CP932 text in UTF-8 ("?" when it is not CP932).
inline std::string Utf8(const std::string& strCp932) {
  std::string out;
  if (!cp932::ToUtf8(strCp932, out)) out = "?";
  return out;
}

inline std::string Quote(const std::string& strCp932) { return "\"" + Utf8(strCp932) + "\""; }

}  // namespace journal_text
