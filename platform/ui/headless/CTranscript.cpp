#include "CTranscript.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "Cp932.h"

CTranscript::~CTranscript() {
  if (m_bOwnFile && m_pFile) std::fclose(m_pFile);
}

BOOL CTranscript::OpenFile(const std::string& strPath) {
  std::FILE* pFile = std::fopen(strPath.c_str(), "ae");
  if (!pFile) return FALSE;
  if (m_bOwnFile && m_pFile) std::fclose(m_pFile);
  m_pFile = pFile;
  m_bOwnFile = TRUE;
  m_bBuffer = FALSE;
  return TRUE;
}

void CTranscript::UseStderr() {
  if (m_bOwnFile && m_pFile) std::fclose(m_pFile);
  m_pFile = stderr;
  m_bOwnFile = FALSE;
  m_bBuffer = FALSE;
}

void CTranscript::UseBuffer() {
  if (m_bOwnFile && m_pFile) std::fclose(m_pFile);
  m_pFile = nullptr;
  m_bOwnFile = FALSE;
  m_bBuffer = TRUE;
}

namespace {

void AppendEscaped(std::string& strOut, char c) {
  switch (c) {
    case '\n':
      strOut += "\\n";
      break;
    case '\t':
      strOut += "\\t";
      break;
    case '\r':
      strOut += "\\r";
      break;
    case '\\':
      strOut += "\\\\";
      break;
    default:
      strOut += c;
  }
}

}  // namespace

std::string CTranscript::Escape(const CString& strField) {
  std::string strOut;
  std::string strUtf8;
  if (cp932::ToUtf8(strField, strUtf8)) {
    for (char c : strUtf8) AppendEscaped(strOut, c);
    return strOut;
  }
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (unsigned char c : strField) {
    if (c < 0x80) {
      AppendEscaped(strOut, static_cast<char>(c));
    } else {
      strOut += "\\x";
      strOut += kHex[c >> 4];
      strOut += kHex[c & 0x0F];
    }
  }
  return strOut;
}

void CTranscript::Event(std::initializer_list<CString> fields) {
  Event(std::vector<CString>(fields));
}

void CTranscript::Event(const std::vector<CString>& fields) {
  std::string strLine;
  for (const CString& strField : fields) {
    if (!strLine.empty()) strLine += '\t';
    strLine += Escape(strField);
  }
  strLine += '\n';
  if (m_bBuffer) {
    m_strBuffer += strLine;
  } else if (m_pFile) {
    const bool bWritten =
        std::fwrite(strLine.data(), 1, strLine.size(), m_pFile) == strLine.size() &&
        std::fflush(m_pFile) == 0;
    // A transcript with a line missing would tell the watcher a different
    // story: the run ends here instead, as a script error does.
    if (!bWritten) {
      const int nError = errno;
      if (m_pFile != stderr) {
        std::fprintf(stderr, "headless transcript error: cannot write the transcript (%s)\n",
                     std::strerror(nError));
      }
      std::fflush(nullptr);
      std::_Exit(EXIT_TRANSCRIPT_FAILED);
    }
  }
}
