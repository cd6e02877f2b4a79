#pragma once
// Writes BooksData as a books folder (UTF-8 CSV with a header row, LF line
// ends), the format BooksFolderReader reads. The files are written into a
// temporary folder beside the target and moved into place at the end, so a
// failed export leaves no half-written folder.

#include <filesystem>
#include <string>

#include "BooksData.h"

class BooksFolderWriter {
 public:
  // folder must not exist, or be an empty folder.
  bool Write(const BooksData& data, const std::filesystem::path& folder);

  std::string m_strError;
};
