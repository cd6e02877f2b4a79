// Reads a books folder whose files come from the input: company.csv,
// accounts.csv, opening.csv and journal.csv, in that order, kept apart by
// 0x1E; a file the input does not reach is missing. A refused folder names
// its problems; an accepted one is written out and must read back equal.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "BooksData.h"
#include "BooksFolderReader.h"
#include "BooksFolderWriter.h"
#include "FuzzFolder.h"

namespace {

const char* const kFiles[] = {"company.csv", "accounts.csv", "opening.csv", "journal.csv"};

FuzzFolder& Folder() {
  static FuzzFolder folder("booksfolder");
  return folder;
}

[[noreturn]] void Fail(const char* pszWhat) {
  std::fprintf(stderr, "%s\n", pszWhat);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
  Folder().Clear();
  const auto pieces =
      FuzzFolder::Split(std::string_view(reinterpret_cast<const char*>(pData), nSize), 4);
  for (std::size_t i = 0; i < pieces.size(); ++i) Folder().Put(kFiles[i], pieces[i]);

  BooksData data;
  BooksFolderReader reader;
  if (!reader.Read(Folder().Path(), data)) {
    if (reader.m_arError.empty()) Fail("a refused folder names no problem");
    return 0;
  }
  if (!reader.m_arError.empty()) Fail("an accepted folder has problems");

  const auto written = Folder().Path() / "written";
  BooksFolderWriter writer;
  if (!writer.Write(data, written)) Fail("accepted books cannot be written");
  BooksData again;
  BooksFolderReader readerAgain;
  if (!readerAgain.Read(written, again)) {
    for (const auto& strError : readerAgain.m_arError)
      std::fprintf(stderr, "%s\n", strError.c_str());
    Fail("written books are refused");
  }
  if (!(again == data)) Fail("written books read back different");
  return 0;
}
