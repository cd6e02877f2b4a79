#pragma once
// What failed, as the code below the user interface returns it: the
// messages to show, in the order they arose (a line of a file that cannot be
// read, then the file it left unloaded), and for a failure on a file its
// path and the system's reason (errno). That code shows nothing itself; the
// layer that talks to the user shows each message once (a message box, or
// one line on a console).

#include <vector>

#include "WinTypes.h"

class CFailure {
 public:
  CFailure() = default;
  explicit CFailure(const CString& strText);
  // "what\nファイル：path\n原因：the system's reason for nError".
  CFailure(LPCSTR pszWhat, const CString& strFile, int nError);

  // Adds a message shown after the ones before: what this failure led to.
  void Then(const CFailure& next);

  bool Failed() const { return !m_arText.empty(); }
  const std::vector<CString>& Texts() const { return m_arText; }
  // strFirst (a console's own words, when given) and every message on one
  // line: joined by " / ", line breaks as blanks.
  CString OneLine(const CString& strFirst = CString()) const;
  // The file of the first failure on a file and its errno; empty and 0 when
  // no file was involved.
  const CString& File() const { return m_strFile; }
  int Error() const { return m_nError; }

 private:
  std::vector<CString> m_arText;
  CString m_strFile;
  int m_nError = 0;
};
