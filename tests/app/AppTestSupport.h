#pragma once
// Shared by the application tests: a scratch folder, environment variables
// restored on scope exit, and the message boxes the program shows.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "WinMessageBox.h"

namespace apptest {

// The sources are compiled to CP932; u8 literals give the UTF-8 side.
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

class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "rx16-app-XXXXXX").string();
    m_path = ::mkdtemp(pattern.data());
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& path() const { return m_path; }
  void Write(const std::string& name, const std::string& text) const {
    std::ofstream(m_path + "/" + name, std::ios::binary) << text;
  }

 private:
  std::string m_path;
};

struct ShownMessage {
  HWND owner;
  CString text;
  CString caption;
  UINT type;
};

// Records every message box and answers OK.
class MessageRecorder {
 public:
  MessageRecorder() {
    m_old = SetMessageBoxHandler(
        [this](HWND owner, const CString& text, const CString& caption, UINT type) {
          m_arShown.push_back({owner, text, caption, type});
          return IDOK;
        });
  }
  ~MessageRecorder() { SetMessageBoxHandler(m_old); }
  MessageRecorder(const MessageRecorder&) = delete;
  MessageRecorder& operator=(const MessageRecorder&) = delete;
  const std::vector<ShownMessage>& Shown() const { return m_arShown; }

 private:
  MessageBoxHandler m_old;
  std::vector<ShownMessage> m_arShown;
};

// Returns to the current directory on scope exit.
class ScopedCwd {
 public:
  explicit ScopedCwd(const std::string& path) : m_old(std::filesystem::current_path()) {
    std::filesystem::current_path(path);
  }
  ~ScopedCwd() {
    std::error_code ec;
    std::filesystem::current_path(m_old, ec);
  }
  ScopedCwd(const ScopedCwd&) = delete;
  ScopedCwd& operator=(const ScopedCwd&) = delete;

 private:
  std::filesystem::path m_old;
};

}  // namespace apptest
