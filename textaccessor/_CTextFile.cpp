#include "_CTextFile.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>

#include "Cp932.h"
#include "_CTextAccessor.h"

_CTextFile::_CTextFile() = default;

_CTextFile::~_CTextFile() = default;

long _CTextFile::Open(const char* pszPath, long nFlags) {
  if (!pszPath || m_stream.is_open()) return -1;
  std::string path;
  if (!cp932::ToUtf8(pszPath, path)) return -1;

  std::ios_base::openmode mode;
  if (nFlags & TF_WRITE) {
    const bool bAppend = nFlags & TF_APPEND;
    const bool bTruncate = nFlags & TF_TRUNCATE;
    if (bAppend && bTruncate) return -1;
    if (bAppend) {
      mode = std::ios_base::out | std::ios_base::app;
    } else if (bTruncate) {
      mode = std::ios_base::out | std::ios_base::trunc;
    } else {
      // Exclusive creation, so that an existing file is never touched.
      std::FILE* pFile = std::fopen(path.c_str(), "wx");
      if (!pFile) return -1;
      std::fclose(pFile);
      mode = std::ios_base::out | std::ios_base::trunc;
    }
  } else if (nFlags & TF_READ) {
    // A folder opens for reading here and then reads as empty.
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
      errno = EISDIR;
      return -1;
    }
    mode = std::ios_base::in;
  } else {
    return -1;
  }
  m_stream.open(path, mode);
  if (!m_stream.is_open() || m_stream.fail()) return -1;
  m_stream.clear();
  return 0;
}

long _CTextFile::Close() {
  m_stream.close();
  return m_stream.fail() ? -1 : 0;
}

long _CTextFile::Attach(_CTextAccessor* pAccessor) {
  if (!pAccessor) return -1;
  return pAccessor->Attach(&m_stream);
}
