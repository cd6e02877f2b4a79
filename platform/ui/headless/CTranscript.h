#pragma once
// The headless transcript: one event per line, fields separated by a tab,
// UTF-8. Texts are CP932 inside the program and converted here; a line
// break is written \n, a tab \t, a carriage return \r, a backslash \\.

#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "WinTypes.h"

class CTranscript {
 public:
  CTranscript() = default;
  ~CTranscript();
  CTranscript(const CTranscript&) = delete;
  CTranscript& operator=(const CTranscript&) = delete;

  // Appends to strPath (UTF-8 file name), creating it; FALSE when it cannot.
  BOOL OpenFile(const std::string& strPath);
  // Writes to standard error.
  void UseStderr();
  // Keeps the lines in memory (tests).
  void UseBuffer();
  const std::string& GetBuffer() const { return m_strBuffer; }
  BOOL WritesToStderr() const { return m_pFile == stderr; }

  // Exit status when a line cannot be written: a script error's.
  inline static constexpr int EXIT_TRANSCRIPT_FAILED = 3;

  // One event; every field is CP932 text. Each line is flushed at once, so
  // the transcript is complete whenever the process ends: a line that cannot
  // be written ends the process with EXIT_TRANSCRIPT_FAILED, nothing posted.
  void Event(std::initializer_list<CString> fields);
  void Event(const std::vector<CString>& fields);

  // The field as the transcript writes it: UTF-8 with the escapes above. In
  // a field that is not CP932, every byte above 0x7F is written \xHH.
  static std::string Escape(const CString& strField);

 private:
  std::FILE* m_pFile = nullptr;
  BOOL m_bOwnFile = FALSE;
  BOOL m_bBuffer = FALSE;
  std::string m_strBuffer;
};
