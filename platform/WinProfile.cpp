#include "WinProfile.h"

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "Cp932.h"
#include "FolderOps.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

char FoldAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Case-blind for ASCII only; both bytes of a double-byte character compare
// exactly, since a second byte can look like an ASCII letter (ア is 0x83 0x41).
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size();) {
    const std::size_t nWidth = cp932::CharLength(a, i);
    if (nWidth == 2 ? a.compare(i, 2, b, i, 2) != 0 : FoldAscii(a[i]) != FoldAscii(b[i])) {
      return false;
    }
    i += nWidth;
  }
  return true;
}

struct Entry {
  std::string_view key;
  std::string_view value;
};

struct Section {
  std::string_view name;
  std::vector<Entry> entries;
};

std::vector<Section> Parse(std::string_view text) {
  std::vector<Section> sections;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    line = Trim(line);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      line.remove_prefix(1);
      sections.push_back({Trim(line.substr(0, line.find(']'))), {}});
      continue;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || sections.empty()) continue;
    sections.back().entries.push_back(
        {Trim(line.substr(0, equals)), Trim(line.substr(equals + 1))});
  }
  return sections;
}

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

DWORD PutValue(std::string_view value, LPSTR buffer, DWORD size) {
  const std::size_t length = cp932::CutLength(value, size - 1);
  std::memcpy(buffer, value.data(), length);
  buffer[length] = '\0';
  return static_cast<DWORD>(length);
}

// Names one after another, each with its NUL, then a closing NUL; a list
// that does not fit is cut after the last name that does, and still closed.
DWORD PutList(const std::vector<std::string_view>& names, LPSTR buffer, DWORD size) {
  if (size < 2) {
    buffer[0] = '\0';
    return 0;
  }
  std::size_t used = 0;
  for (std::string_view name : names) {
    if (used + name.size() + 2 > size) {
      // Earlier names took at most size - 1 bytes, so used + length < size.
      const std::size_t length = cp932::CutLength(name, used + 2 <= size ? size - 2 - used : 0);
      std::memcpy(buffer + used, name.data(), length);
      std::memset(buffer + used + length, 0, size - used - length);
      return size - 2;
    }
    std::memcpy(buffer + used, name.data(), name.size());
    used += name.size();
    buffer[used++] = '\0';
  }
  buffer[used] = '\0';
  return static_cast<DWORD>(used);
}

bool ReadFile(LPCSTR fileName, std::string& text) {
  // A folder or anything else that is not a regular file reads as missing.
  return fileName != nullptr && platform::ReadRegularFile(fileName, text);
}

}  // namespace

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer,
                               DWORD size, LPCSTR fileName) {
  if (buffer == nullptr || size == 0) return 0;
  std::string text;
  const bool haveFile = ReadFile(fileName, text);
  const std::vector<Section> sections = haveFile ? Parse(text) : std::vector<Section>();

  if (section == nullptr) {
    std::vector<std::string_view> names;
    for (const Section& s : sections) names.push_back(s.name);
    return PutList(names, buffer, size);
  }
  const Section* found = nullptr;
  for (const Section& s : sections) {
    if (SameName(s.name, section)) {
      found = &s;
      break;
    }
  }
  if (key == nullptr) {
    std::vector<std::string_view> names;
    if (found != nullptr) {
      for (const Entry& e : found->entries) names.push_back(e.key);
    }
    return PutList(names, buffer, size);
  }
  if (found != nullptr) {
    for (const Entry& e : found->entries) {
      if (SameName(e.key, key)) return PutValue(Unquote(e.value), buffer, size);
    }
  }
  std::string_view fallback = defaultValue == nullptr ? "" : defaultValue;
  while (!fallback.empty() && IsBlank(fallback.back())) fallback.remove_suffix(1);
  return PutValue(fallback, buffer, size);
}
