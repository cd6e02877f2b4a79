#pragma once
// A scratch folder of real files and the messages the code under test shows.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "CSetGaiFile.h"
#include "WinMessageBox.h"

class SettingsFixture : public ::testing::Test {
 public:
  static std::string ReadFile(const CString& strPath) {
    std::ifstream in(strPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  static void WriteFile(const CString& strPath, const std::string& data) {
    std::ofstream(strPath, std::ios::binary) << data;
  }

 protected:
  void SetUp() override {
    char szTemplate[] = "/tmp/rx16-settings-XXXXXX";
    ASSERT_NE(mkdtemp(szTemplate), nullptr);
    m_strDir = CString(szTemplate) + "/";
    m_oldHandler =
        SetMessageBoxHandler([this](HWND, const CString& text, const CString& caption, UINT type) {
          EXPECT_EQ(caption, "内訳概況書のミラベル（概況書）");
          m_arMessages.push_back(text);
          // Questions are asked with No as the default button.
          if ((type & MB_TYPEMASK) == MB_YESNO) {
            EXPECT_EQ(type, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
            return m_nAnswer;
          }
          EXPECT_EQ(type, MB_OK | MB_ICONWARNING);
          return IDOK;
        });
    m_strShipped = CString(RX16_SOURCE_DIR) + "/data/";
  }
  void TearDown() override {
    SetMessageBoxHandler(m_oldHandler);
    std::filesystem::remove_all(m_strDir);
  }

  // A regular-edition file set whose initial-data file is the shipped one.
  CSetGaiFile Files(BOOL bCooperative = FALSE) {
    CSetGaiFile files(nullptr, bCooperative);
    std::strcpy(files.m_szDataId, "00012345");
    files.m_strAltFolder = m_strDir + "alt/";
    files.m_strInitFolder = m_strShipped;
    return files;
  }

  // Names of the files in the scratch folder, to see that nothing is left over.
  std::vector<std::string> Listing() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_strDir)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  CString m_strDir;
  CString m_strShipped;
  std::vector<CString> m_arMessages;
  int m_nAnswer = IDNO;  // to every question
  MessageBoxHandler m_oldHandler;
  _SG_CONDITION m_cond{};
  CArray<_SG_MATCH, _SG_MATCH> m_arMatch;
  CArray<_SG_INIT_BODY, _SG_INIT_BODY> m_arInitBody;
};
