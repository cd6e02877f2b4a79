#pragma once
// Shared pieces of the UI tests: the headless backend with an in-memory
// transcript, scripts given as UTF-8 text, and conversions for comparing
// program texts (CP932) with the transcript (UTF-8).

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "CHeadlessBackend.h"
#include "CHeadlessScript.h"
#include "Cp932.h"
#include "ProgramResources.h"

namespace uitest {

inline std::string U8(const char8_t* psz) { return reinterpret_cast<const char*>(psz); }

inline CString Cp(const char8_t* psz) {
  CString str;
  EXPECT_TRUE(cp932::FromUtf8(U8(psz), str));
  return str;
}

inline std::vector<std::string> Lines(const std::string& strText) {
  std::vector<std::string> lines;
  std::istringstream in(strText);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class HeadlessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterProgramResources();
    m_backend.Transcript().UseBuffer();
    m_pOld = SetUiBackend(&m_backend);
  }
  void TearDown() override { SetUiBackend(m_pOld); }

  void Script(const std::string& strUtf8) {
    CHeadlessScript script;
    CString strError;
    ASSERT_TRUE(script.Parse(strUtf8, strError)) << strError;
    m_backend.SetScript(script.Steps());
  }
  std::vector<std::string> Transcript() { return Lines(m_backend.Transcript().GetBuffer()); }

  CHeadlessBackend m_backend;
  CUiBackend* m_pOld = nullptr;
};

}  // namespace uitest
