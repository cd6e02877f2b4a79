#pragma once
// A scratch installation with sample books, the host objects the wizard
// reaches through the globals, and the headless backend driving the dialogs
// from a script (and, where a test needs to look inside, a callback).

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "CConv.h"
#include "CHeadlessBackend.h"
#include "CJetAccess.h"
#include "CKaikei.h"
#include "CKumiSen.h"
#include "CYmd.h"
#include "S_KANKAMOKU.h"
#include "ScopedEnv.h"
#include "SettingsRecords.h"
#include "TestText.h"

namespace wizardtest {

// UTF-8 text from a u8 literal (scripts and transcripts are UTF-8).
using testsupport::U8;
// CP932 text to UTF-8, for comparing program texts with the transcript.
std::string Utf8(const CString& str);

using testsupport::ScopedEnv;

// The headless backend, keeping what each save-file dialog was asked to show.
class RecordingBackend : public CHeadlessBackend {
 public:
  BOOL GetSaveFileName(SaveFileRequest& request) override {
    m_arSaveRequests.push_back(request);
    return CHeadlessBackend::GetSaveFileName(request);
  }
  std::vector<SaveFileRequest> m_arSaveRequests;
};

class WizardFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Chooses the sample data set with that data ID and reads its accounts.
  void OpenBooks(const char* pszDataId);
  // Runs the settings sheet with the script (UTF-8); returns DispSheet's result.
  int RunSheet(const std::string& strScript, const CString& strLinkParam = CString());
  void SetScript(const std::string& strScript);

  // The environment file of the chosen data set.
  std::string EnvPath() const;
  std::string ReadEnv() const;
  void WriteEnv(const std::string& strText) const;
  // The transcript so far (UTF-8).
  const std::string& Transcript() { return m_backend.Transcript().GetBuffer(); }
  // One transcript line, fields joined by tabs, with its line break.
  static std::string Event(std::initializer_list<std::string> fields);
  // The transcript line of a warning with that text (UTF-8), answered OK.
  static std::string Warning(const std::string& strText);

  // Set before SetUp: the host's cooperative edition with its member books.
  BOOL m_bCooperative = FALSE;
  std::string Prefix() const { return m_bCooperative ? "KP10" : "QT10"; }

  std::string m_strRoot;
  std::string m_strDocs;
  std::optional<ScopedEnv> m_envProgram;
  std::optional<ScopedEnv> m_envDocs;
  std::optional<ScopedEnv> m_envConfig;
  std::filesystem::path m_oldCwd;

  RecordingBackend m_backend;
  CUiBackend* m_pOldBackend = nullptr;
  std::unique_ptr<CJetAccess> m_pJet;
  std::unique_ptr<CYmd> m_pYmd;
  std::unique_ptr<CKumiSen> m_pKumiSen;
  std::unique_ptr<CKaikei> m_pKaikei;
  std::unique_ptr<CConv> m_pConv;
  CString m_strDataPath;

  CArray<S_KANKAMOKU, S_KANKAMOKU> m_arKamoku;
  CArray<_SG_MATCH, _SG_MATCH> m_arMatch;
  CArray<_SG_INIT_BODY, _SG_INIT_BODY> m_arInitBody;
  _SG_CONDITION m_cond{};  // the sheet's condition after the last RunSheet
};

}  // namespace wizardtest
