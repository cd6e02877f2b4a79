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

#include "ScopedEnv.h"
#include "ScratchDir.h"
#include "TestText.h"
#include "WinMessageBox.h"

namespace apptest {

using testsupport::ScopedEnv;
using testsupport::ScratchDir;
using testsupport::U8;

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
