#include "FuzzFolder.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <system_error>

#include "WinMessageBox.h"

namespace {

[[noreturn]] void Fail(const std::string& strWhat) {
  std::fprintf(stderr, "fuzz setup: %s\n", strWhat.c_str());
  std::abort();
}

}  // namespace

FuzzFolder::FuzzFolder(const char* pszName) {
  const char* pszTmp = std::getenv("TMPDIR");
  std::string strTemplate =
      std::string(pszTmp && *pszTmp ? pszTmp : "/tmp") + "/rx16-fuzz-" + pszName + "-XXXXXX";
  if (mkdtemp(strTemplate.data()) == nullptr) Fail("cannot create " + strTemplate);
  m_path = strTemplate;
}

FuzzFolder::~FuzzFolder() {
  std::error_code error;
  std::filesystem::remove_all(m_path, error);
}

void FuzzFolder::Put(const std::string& strName, std::string_view bytes) const {
  std::ofstream out(m_path / strName, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) Fail("cannot write " + (m_path / strName).string());
}

void FuzzFolder::Remove(const std::string& strName) const {
  std::error_code error;
  std::filesystem::remove_all(m_path / strName, error);
}

void FuzzFolder::Clear() const {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(m_path, error)) {
    std::filesystem::remove_all(entry.path(), error);
  }
}

std::vector<std::string_view> FuzzFolder::Split(std::string_view text, std::size_t nMax) {
  std::vector<std::string_view> pieces;
  while (pieces.size() + 1 < nMax) {
    const std::size_t nAt = text.find(kSeparator);
    if (nAt == std::string_view::npos) break;
    pieces.push_back(text.substr(0, nAt));
    text.remove_prefix(nAt + 1);
  }
  pieces.push_back(text);
  return pieces;
}

std::string FuzzFolder::ReadSource(const std::string& strRelative) {
  const std::string strPath = std::string(RX16_SOURCE_DIR) + "/" + strRelative;
  std::ifstream in(strPath, std::ios::binary);
  if (!in) Fail("cannot read " + strPath);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void FuzzFolder::SilenceMessages() {
  SetMessageBoxHandler([](HWND, const CString&, const CString&, UINT type) {
    return (type & MB_TYPEMASK) == MB_OK ? IDOK : IDNO;
  });
}
