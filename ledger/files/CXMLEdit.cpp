#include "CXMLEdit.h"

#include <cstring>
#include <string>
#include <string_view>

#include "Cp932.h"
#include "OsPath.h"

namespace {

// Element and attribute names: no markup, quotes, blanks or control bytes.
bool IsName(LPCSTR sz) {
  if (sz == nullptr || *sz == '\0') return false;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(sz); *p != 0; ++p) {
    const unsigned char c = *p;
    if (c <= 0x20 || c == '<' || c == '>' || c == '&' || c == '"' || c == '\'' || c == '=' ||
        c == '/' || c == 0x7F)
      return false;
  }
  std::string utf8;
  return cp932::ToUtf8(sz, utf8);
}

// Copies text into out, a double-byte character whole and each single byte
// as map appends it; false as soon as map refuses a byte. A null text is
// empty.
template <typename Map>
bool MapSingleBytes(LPCSTR sz, CString& out, Map map) {
  out.clear();
  if (sz == nullptr) return true;
  const std::string_view text(sz);
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t nWidth = cp932::CharLength(text, i);
    if (nWidth == 2) {
      out.append(text.substr(i, 2));
    } else if (!map(static_cast<unsigned char>(text[i]), out)) {
      return false;
    }
    i += nWidth;
  }
  return true;
}

// Escapes & < > " and refuses text that is not CP932 or holds control
// characters XML cannot carry; tab, LF and CR are XML white space and stay.
bool Escape(LPCSTR sz, CString& out) {
  std::string utf8;
  if (sz != nullptr && !cp932::ToUtf8(sz, utf8)) return false;
  return MapSingleBytes(sz, out, [](unsigned char c, CString& to) {
    switch (c) {
      case '&':
        to += "&amp;";
        return true;
      case '<':
        to += "&lt;";
        return true;
      case '>':
        to += "&gt;";
        return true;
      case '"':
        to += "&quot;";
        return true;
      default:
        if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7F) return false;
        to += static_cast<char>(c);
        return true;
    }
  });
}

bool Attributes(LPCSTR a1, LPCSTR v1, LPCSTR a2, LPCSTR v2, CString& out) {
  out.clear();
  const LPCSTR names[2] = {a1, a2};
  const LPCSTR values[2] = {v1, v2};
  for (int i = 0; i < 2; ++i) {
    if (names[i] == nullptr) {
      if (values[i] != nullptr) return false;
      continue;
    }
    CString value;
    if (!IsName(names[i]) || !Escape(values[i], value)) return false;
    out += " ";
    out += names[i];
    out += "=\"" + value + "\"";
  }
  return true;
}

CString Indent(int nLevel) { return CString(static_cast<std::size_t>(nLevel) * 2, ' '); }

}  // namespace

CXMLEdit::CXMLEdit() = default;

CXMLEdit::~CXMLEdit() {
  if (m_pStream != nullptr) std::fclose(m_pStream);
}

short CXMLEdit::Init(CFile* /*pFile*/, LPCSTR szPath) {
  if (m_pStream != nullptr) return 1;
  std::string os;
  if (szPath == nullptr || !platform::ToOsPath(szPath, os)) return 1;
  m_pStream = std::fopen(os.c_str(), "wbe");
  m_bFailed = false;
  return m_pStream == nullptr ? 1 : 0;
}

bool CXMLEdit::WriteRaw(const CString& text) {
  if (m_pStream == nullptr || m_bFailed) return false;
  if (std::fwrite(text.data(), 1, text.size(), m_pStream) != text.size() ||
      std::fflush(m_pStream) != 0)
    m_bFailed = true;
  return !m_bFailed;
}

int CXMLEdit::FileWrite(LPCSTR szText) { return szText != nullptr && WriteRaw(szText) ? 1 : 0; }

int CXMLEdit::TopMakeRoot(char* /*pWork*/, LPCSTR szTag, int nLevel, LPCSTR szAttr1,
                          LPCSTR szValue1, LPCSTR szAttr2, LPCSTR szValue2) {
  CString attrs;
  if (nLevel < 0 || !IsName(szTag) || !Attributes(szAttr1, szValue1, szAttr2, szValue2, attrs))
    return 0;
  return WriteRaw(Indent(nLevel) + "<" + szTag + attrs + ">\r\n") ? 1 : 0;
}

int CXMLEdit::LineMakeTag(char* /*pWork*/, LPCSTR szTag, LPCSTR szText, int nLevel, LPCSTR szAttr1,
                          LPCSTR szValue1, LPCSTR szAttr2, LPCSTR szValue2) {
  CString attrs, text;
  if (nLevel < 0 || !IsName(szTag) || !Attributes(szAttr1, szValue1, szAttr2, szValue2, attrs) ||
      !Escape(szText, text))
    return 0;
  const CString line =
      text.empty() ? Indent(nLevel) + "<" + szTag + attrs + "/>\r\n"
                   : Indent(nLevel) + "<" + szTag + attrs + ">" + text + "</" + szTag + ">\r\n";
  return WriteRaw(line) ? 1 : 0;
}

int CXMLEdit::EndMakeRoot(char* /*pWork*/, LPCSTR szTag, int nLevel) {
  if (nLevel < 0 || !IsName(szTag)) return 0;
  return WriteRaw(Indent(nLevel) + "</" + szTag + ">\r\n") ? 1 : 0;
}

short CXMLEdit::Finish() {
  if (m_pStream == nullptr) return 1;
  const bool bClosed = std::fclose(m_pStream) == 0;
  m_pStream = nullptr;
  return bClosed && !m_bFailed ? 0 : 1;
}

void CXMLEdit::MakeInitFName(LPCSTR szFormName, LPCSTR szJigyoName, short nYear, char* szOut) {
  if (szOut == nullptr) return;
  // Characters file systems or shells take badly become "_", byte-wise but
  // never inside a double-byte character.
  const auto clean = [](LPCSTR sz) {
    CString out;
    MapSingleBytes(sz, out, [](unsigned char c, CString& to) {
      const bool bBad = c < 0x20 || c == 0x7F || std::strchr("/\\:*?\"<>|", c) != nullptr;
      to += bBad ? '_' : static_cast<char>(c);
      return true;
    });
    return out;
  };
  CString form = clean(szFormName);
  CString name = clean(szJigyoName);
  CString tail = "_";  // built in steps: GCC 12 at -O2 misreads '"_" + string'
  tail += std::to_string(nYear);
  tail += ".xml";
  form.resize(cp932::CutLength(form, 48));
  const std::size_t room =
      static_cast<std::size_t>(MAX_INIT_FNAME) - 1 - form.size() - 1 - tail.size();
  name.resize(cp932::CutLength(name, room));
  CString result = form + "_" + name + tail;
  // A name starting with "." would be hidden.
  if (!result.empty() && result[0] == '.') result[0] = '_';
  std::memcpy(szOut, result.c_str(), result.size() + 1);
}
