#pragma once
// Helpers shared by the platform tests: a scratch folder and environment
// variables restored on scope exit.

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace testsupport {

// The test sources are compiled to CP932, so u8 literals give the UTF-8 side.
inline std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::optional<std::string>& value) : m_name(name) {
    if (const char* old = std::getenv(name)) m_old = old;
    if (value)
      ::setenv(name, value->c_str(), 1);
    else
      ::unsetenv(name);
  }
  ~ScopedEnv() {
    if (m_old)
      ::setenv(m_name.c_str(), m_old->c_str(), 1);
    else
      ::unsetenv(m_name.c_str());
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string m_name;
  std::optional<std::string> m_old;
};

// A fresh folder removed with its contents afterwards; its name is plain
// ASCII, so path() serves as both the CP932 and the UTF-8 prefix.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "rx16-platform-XXXXXX").string();
    m_path = ::mkdtemp(pattern.data());
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& path() const { return m_path; }

 private:
  std::string m_path;
};

}  // namespace testsupport
