#pragma once
// Sets (or, with no value, removes) an environment variable and restores it
// on scope exit, so tests can point the program's folders at scratch places.

#include <cstdlib>
#include <optional>
#include <string>

namespace testsupport {

class ScopedEnv {
 public:
  ScopedEnv(const char* pszName, const std::optional<std::string>& value) : m_strName(pszName) {
    if (const char* pszOld = std::getenv(pszName)) m_strOld = pszOld;
    if (value)
      ::setenv(pszName, value->c_str(), 1);
    else
      ::unsetenv(pszName);
  }
  ~ScopedEnv() {
    if (m_strOld)
      ::setenv(m_strName.c_str(), m_strOld->c_str(), 1);
    else
      ::unsetenv(m_strName.c_str());
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string m_strName;
  std::optional<std::string> m_strOld;
};

}  // namespace testsupport
