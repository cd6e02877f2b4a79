#include "TempFolder.h"

#include <stdlib.h>

#include <fstream>
#include <iterator>

TempFolder::TempFolder() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "hoststandin-XXXXXX").string();
  if (mkdtemp(tmpl.data()) != nullptr) m_path = tmpl;
}

TempFolder::~TempFolder() {
  std::error_code ec;
  if (!m_path.empty()) std::filesystem::remove_all(m_path, ec);
}

void TempFolder::Write(const std::filesystem::path& relative, const std::string& bytes) const {
  const auto p = m_path / relative;
  std::filesystem::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << bytes;
}

std::string TempFolder::Read(const std::filesystem::path& relative) const {
  std::ifstream in(m_path / relative, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
