#pragma once
// A fresh folder removed with its contents afterwards; its name is plain
// ASCII, so path() serves as both the CP932 and the UTF-8 prefix.

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace testsupport {

class ScratchDir {
 public:
  ScratchDir() {
    std::string strPattern = (std::filesystem::temp_directory_path() / "rx16-test-XXXXXX").string();
    m_strPath = ::mkdtemp(strPattern.data());
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_strPath, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& path() const { return m_strPath; }
  void Write(const std::string& strName, const std::string& strText) const {
    std::ofstream(m_strPath + "/" + strName, std::ios::binary) << strText;
  }

 private:
  std::string m_strPath;
};

}  // namespace testsupport
