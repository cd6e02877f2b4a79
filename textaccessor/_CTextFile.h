#pragma once
// Owns one file stream and lends it to text accessors, so that a file is
// opened once and read or written line by line by one accessor or several
// in turn.

#include <fstream>

class _CTextAccessor;

class _CTextFile {
 public:
  enum {
    TF_READ = 1,
    TF_WRITE = 2,
    TF_APPEND = 4,
    TF_TRUNCATE = 8,
  };

  _CTextFile();
  virtual ~_CTextFile();
  _CTextFile(const _CTextFile&) = delete;
  _CTextFile& operator=(const _CTextFile&) = delete;

  // pszPath is CP932. With TF_WRITE: alone a new file (fails when it
  // exists), with TF_TRUNCATE created or emptied, with TF_APPEND appended to
  // (created when missing). TF_READ without TF_WRITE reads an existing file.
  // 0 opened, -1 failed, an unknown flag combination, or already open.
  long Open(const char* pszPath, long nFlags);
  // -1 when the stream is failed afterwards, as it is after a read to the end.
  long Close();
  long Attach(_CTextAccessor* pAccessor);

 private:
  std::fstream m_stream;
};
