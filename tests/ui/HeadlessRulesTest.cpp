// The headless contract: script syntax, transcript format, message boxes,
// the save dialog, the progress window, errors that end the run, and the
// start-up choice from the environment.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "CDialog.h"
#include "CScaleDlg.h"
#include "CUiInput.h"
#include "SaveFileDialog.h"
#include "UiStartup.h"
#include "UiTestSupport.h"

using uitest::Cp;
using uitest::U8;

namespace {

std::string ReadFile(const std::string& strPath) {
  std::ifstream in(strPath, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string TempPath(const char* pszName) {
  return (std::filesystem::temp_directory_path() /
          (std::string("rx16-ui-") + std::to_string(::getpid()) + "-" + pszName))
      .string();
}

TEST(HeadlessScriptTest, StepsTakeTheRestOfTheLine) {
  CHeadlessScript script;
  CString strError;
  ASSERT_TRUE(script.Parse(U8(u8"# comment\r\n"
                              u8"\n"
                              u8"set 1008  C:/a b.xml \r\n"
                              u8"set 1007\n"
                              u8"answer yes 上書き\n"
                              u8"tick code=4111\n"
                              u8"choose 12\n"
                              u8"choose 農場 A\n"
                              u8"key f8\n"
                              u8"file cancel\n"
                              u8"exec rm -r 出力\n"
                              u8"expect page 4939\n"),
                           strError))
      << strError;
  const auto& steps = script.Steps();
  ASSERT_EQ(10u, steps.size());
  EXPECT_EQ(StepVerb::Set, steps[0].verb);
  EXPECT_EQ(1008, steps[0].nNumber);
  EXPECT_EQ(" C:/a b.xml ", steps[0].strArg);
  EXPECT_EQ(3, steps[0].nLine);
  EXPECT_EQ("", steps[1].strArg);
  EXPECT_EQ(IDYES, steps[2].nNumber);
  EXPECT_TRUE(steps[2].bHasText);
  EXPECT_EQ(Cp(u8"上書き"), steps[2].strArg);
  EXPECT_TRUE(steps[3].bByText);
  EXPECT_EQ(4111, steps[3].nNumber);
  EXPECT_FALSE(steps[4].bByText);
  EXPECT_EQ(12, steps[4].nNumber);
  EXPECT_TRUE(steps[5].bByText);
  EXPECT_EQ(Cp(u8"農場 A"), steps[5].strArg);
  EXPECT_EQ(static_cast<int>(VK_F8), steps[6].nNumber);
  EXPECT_EQ(StepVerb::FileCancel, steps[7].verb);
  EXPECT_EQ(U8(u8"rm -r 出力"), steps[8].strArg);  // the shell gets UTF-8
  EXPECT_EQ(StepVerb::ExpectPage, steps[9].verb);
  EXPECT_EQ(4939, steps[9].nNumber);
}

TEST(HeadlessScriptTest, BadLinesAreNamed) {
  const char* bad[] = {"frobnicate\n", "key F2\n",  "click\n",      "click x\n", "answer maybe\n",
                       "tick -1\n",    "set abc\n", "cancel now\n", "exec\n",    "file\n"};
  for (const char* psz : bad) {
    CHeadlessScript script;
    CString strError;
    EXPECT_FALSE(script.Parse(std::string("dump\n") + psz, strError)) << psz;
    EXPECT_EQ(0u, strError.rfind("script line 2:", 0)) << strError;
    EXPECT_TRUE(script.Steps().empty());
  }
  CHeadlessScript script;
  CString strError;
  // A character with no CP932 form cannot reach the program.
  EXPECT_FALSE(script.Parse(U8(u8"set 1008 \U0001F600\n"), strError));
}

TEST(TranscriptTest, FieldsAreEscapedUtf8) {
  CTranscript transcript;
  transcript.UseBuffer();
  // 表 ends in the byte 0x5C, which must not come out as a backslash.
  transcript.Event({"msgbox", Cp(u8"表\n示\t\\")});
  transcript.Event({"x", std::string("\x82\xA0\xFF", 3)});
  EXPECT_EQ(U8(u8"msgbox\t表\\n示\\t\\\\\n") + "x\t\\x82\\xA0\\xFF\n", transcript.GetBuffer());
}

class HeadlessRulesTest : public uitest::HeadlessTest {};

TEST_F(HeadlessRulesTest, MessageBoxesAndTheirAnswers) {
  Script(U8(u8"answer ok 完了\nanswer no\n"));
  EXPECT_EQ(IDOK, MessageBoxA(nullptr, Cp(u8"集計が完了しました。").c_str(), "C",
                              MB_OK | MB_ICONINFORMATION));
  // A plain box with no answer waiting is answered OK; the question takes the
  // answer step.
  EXPECT_EQ(IDOK, MessageBoxA(nullptr, "a\nb", "C", MB_OK | MB_ICONWARNING));
  EXPECT_EQ(IDNO, MessageBoxA(nullptr, "q", "C", MB_YESNO | MB_ICONEXCLAMATION));
  const std::vector<std::string> expected{
      U8(u8"msgbox\tinformation\tC\t集計が完了しました。\tok\tok"),
      "msgbox\twarning\tC\ta\\nb\tok\tok", "msgbox\texclamation\tC\tq\tyesno\tno"};
  EXPECT_EQ(expected, Transcript());
}

TEST_F(HeadlessRulesTest, SaveDialogShowsTheHookTextAndReturnsTheChoice) {
  Script("expect save\ndump\nfile /tmp/out dir/a.xml\nfile cancel\n");
  struct Hook {
    static UINT_PTR Proc(HWND hDlg, UINT message, WPARAM, LPARAM) {
      if (message != WM_INITDIALOG) return 0;
      SendMessageA(GetParent(hDlg), CDM_SETCONTROLTEXT, stc4,
                   reinterpret_cast<LPARAM>("ファイルの場所(&I)"));
      return TRUE;
    }
  };
  char szFile[256] = "C:/DATA/OUT.XML";
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.lpstrFilter = "中間ファイル(*.xml)\0*.xml\0全てのファイル(*.*)\0*.*\0\0";
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = szFile;
  ofn.nMaxFile = sizeof szFile;
  ofn.lpstrTitle = "保存ファイルを指定";
  ofn.Flags = OFN_EXPLORER | OFN_CREATEPROMPT | OFN_ENABLEHOOK | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
  ofn.lpfnHook = &Hook::Proc;
  ASSERT_TRUE(GetSaveFileNameA(&ofn));
  EXPECT_STREQ("/tmp/out dir/a.xml", szFile);
  EXPECT_EQ(13, ofn.nFileOffset);
  EXPECT_EQ(15, ofn.nFileExtension);
  EXPECT_FALSE(GetSaveFileNameA(&ofn));
  EXPECT_EQ(0u, CommDlgExtendedError());
  const std::vector<std::string> expected{
      U8(u8"open\tsave\t保存ファイルを指定"),
      U8(u8"control\t1091\tstatic\t1\t1\t0\tファイルの場所(&I)"),
      "control\t1148\tedit\t1\t1\t0\tC:/DATA/OUT.XML",
      "close\tsave\tok",
      U8(u8"open\tsave\t保存ファイルを指定"),
      "close\tsave\tcancel"};
  EXPECT_EQ(expected, Transcript());
}

TEST_F(HeadlessRulesTest, ChosenPathLongerThanTheBufferFailsUncut) {
  Script("file /tmp/a-rather-long-name.xml\n");
  char szFile[16] = "";
  OPENFILENAMEA ofn{};
  ofn.lpstrFile = szFile;
  ofn.nMaxFile = sizeof szFile;
  EXPECT_FALSE(GetSaveFileNameA(&ofn));
  EXPECT_EQ(FNERR_BUFFERTOOSMALL, CommDlgExtendedError());
  EXPECT_STREQ("", szFile);
}

TEST_F(HeadlessRulesTest, ProgressWindowAndPostAreRecorded) {
  Script("");
  {
    CScaleDlg scale(nullptr);
    scale.Init(2, 1);
    scale.DispScale(10);  // before Create: not shown
    ASSERT_TRUE(scale.Create());
    scale.SetWindowText(Cp(u8"集計中").c_str());
    scale.DispMessage(Cp(u8"集計中です。お待ちください....").c_str());
    scale.DispScale(30);
    scale.DispScale(150);
    EXPECT_EQ(100, scale.GetScale());
    scale.Term();
    scale.DestroyWindow();
  }
  UiNotifyPost(reinterpret_cast<HWND>(static_cast<std::uintptr_t>(65540)), 1234,
               static_cast<WPARAM>(-1), 2);
  const std::vector<std::string> expected{U8(u8"progress\ttitle\t集計中"),
                                          U8(u8"progress\tmessage\t集計中です。お待ちください...."),
                                          "progress\tscale\t30",
                                          "progress\tscale\t100",
                                          "progress\tclose",
                                          "post\t65540\t1234\t-1\t2"};
  EXPECT_EQ(expected, Transcript());
}

// The cases below end the process with status 3 after writing an error
// event; they run in a child process and leave the transcript in a file.
class HeadlessErrorTest : public ::testing::Test {
 protected:
  void SetUp() override { m_strTranscript = TempPath("error-transcript"); }
  void TearDown() override { std::filesystem::remove(m_strTranscript); }

  // Runs fn under a backend with the script; the child must exit with 3.
  void ExpectScriptError(const std::string& strScript, const std::function<void()>& fn) {
    EXPECT_EXIT(
        {
          RegisterProgramResources();
          CHeadlessBackend backend;
          backend.Transcript().OpenFile(m_strTranscript);
          CHeadlessScript script;
          CString strError;
          if (!script.Parse(strScript, strError)) std::_Exit(1);
          backend.SetScript(script.Steps());
          SetUiBackend(&backend);
          fn();
          std::_Exit(0);
        },
        ::testing::ExitedWithCode(3), "");
  }
  std::string LastLine() {
    const std::vector<std::string> lines = uitest::Lines(ReadFile(m_strTranscript));
    return lines.empty() ? "" : lines.back();
  }

  std::string m_strTranscript;
};

TEST_F(HeadlessErrorTest, QuestionWithoutAnswer) {
  ExpectScriptError("dump\n", [] { MessageBoxA(nullptr, "q?", "C", MB_YESNO | MB_ICONQUESTION); });
  EXPECT_EQ("error\tquestion with no answer: C: q?", LastLine());
}

TEST_F(HeadlessErrorTest, AnswerThatDoesNotMatch) {
  ExpectScriptError(U8(u8"answer yes 上書き\n"),
                    [] { MessageBoxA(nullptr, "other", "C", MB_YESNO | MB_ICONQUESTION); });
  EXPECT_EQ(0u, LastLine().find(
                    U8(u8"error\tscript line 1 (answer yes 上書き): the message box says: other")));
  // An answer the buttons do not offer.
  ExpectScriptError("answer no\n", [] { MessageBoxA(nullptr, "t", "C", MB_OKCANCEL); });
  EXPECT_EQ("error\tscript line 1 (answer no): the message box has the buttons okcancel: t",
            LastLine());
}

TEST_F(HeadlessErrorTest, StepsThatDoNotFitTheDialog) {
  const auto run = [] {
    CDialog dlg(IDD_SETGAI_DLG);
    dlg.DoModal();
  };
  const std::pair<const char*, const char*> cases[] = {
      {"expect sheet\n", "the dialog on top is map"},
      {"click 1026\nclick 4242\n", "no control 4242"},
      {"set 1000 x\n", "control is not an edit"},
      {"tick 0\n", "the dialog has no list with check boxes"},
      {"choose 0\n", "the dialog on top is map"},
      {"answer ok\n", "no message box is open"},
      {"file /tmp/x\n", "no save dialog is open"},
  };
  for (const auto& [pszScript, pszWhy] : cases) {
    ExpectScriptError(pszScript, run);
    EXPECT_NE(std::string::npos, LastLine().find(pszWhy)) << pszScript << LastLine();
  }
}

TEST_F(HeadlessErrorTest, DisabledControlCannotBeClicked) {
  ExpectScriptError("click 1000\n", [] {
    struct Disabling : CDialog {
      Disabling() : CDialog(IDD_SETGAI_DLG) {}
      BOOL OnInitDialog() override {
        GetDlgItem(1000)->EnableWindow(FALSE);
        return TRUE;
      }
    } dlg;
    dlg.DoModal();
  });
  EXPECT_NE(std::string::npos, LastLine().find("control is disabled or hidden"));
}

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* psz : {"RX16_UI", "RX16_UI_SCRIPT", "RX16_UI_TRANSCRIPT"}) {
      if (const char* pszOld = std::getenv(psz)) m_saved.emplace_back(psz, pszOld);
      ::unsetenv(psz);
    }
    m_strTranscript = TempPath("startup-transcript");
    m_strScript = TempPath("startup-script");
  }
  void TearDown() override {
    UninstallUiBackend();
    for (const char* psz : {"RX16_UI", "RX16_UI_SCRIPT", "RX16_UI_TRANSCRIPT"}) ::unsetenv(psz);
    for (const auto& [name, value] : m_saved) ::setenv(name.c_str(), value.c_str(), 1);
    std::filesystem::remove(m_strTranscript);
    std::filesystem::remove(m_strScript);
  }

  std::vector<std::pair<std::string, std::string>> m_saved;
  std::string m_strTranscript;
  std::string m_strScript;
  int m_argc = 1;
  char m_szArg0[8] = "test";
  char* m_argv[2] = {m_szArg0, nullptr};
};

TEST_F(StartupTest, HeadlessWithoutScriptExplainsAndCancels) {
  ::setenv("RX16_UI", "headless", 1);
  ::setenv("RX16_UI_TRANSCRIPT", m_strTranscript.c_str(), 1);
  ::testing::internal::CaptureStderr();
  const UiStartResult result = InstallUiBackend(m_argc, m_argv);
  const std::string strErr = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(UiBackendKind::Headless, result.kind);
  EXPECT_FALSE(result.bScripted);
  EXPECT_NE(std::string::npos, strErr.find("RX16_UI_SCRIPT"));
  EXPECT_EQ(1, std::count(strErr.begin(), strErr.end(), '\n'));
  CDialog dlg(IDD_SETGAI_DLG);  // the start-up registered the resources
  EXPECT_EQ(IDCANCEL, dlg.DoModal());
  EXPECT_EQ(U8(u8"open\tmap\t集約科目対応設定\nunscripted\tmap\nclose\tmap\tcancel\n"),
            ReadFile(m_strTranscript));
}

TEST_F(StartupTest, ScriptAndTranscriptFromTheEnvironment) {
  std::ofstream(m_strScript) << "# pick\nclick 1000\n";
  std::ofstream(m_strTranscript) << "earlier\n";
  ::setenv("RX16_UI_SCRIPT", m_strScript.c_str(), 1);
  ::setenv("RX16_UI_TRANSCRIPT", m_strTranscript.c_str(), 1);
  // No display and no choice: headless.
  ::unsetenv("DISPLAY");
  ::unsetenv("WAYLAND_DISPLAY");
  ::unsetenv("QT_QPA_PLATFORM");
  const UiStartResult result = InstallUiBackend(m_argc, m_argv);
  EXPECT_EQ(UiBackendKind::Headless, result.kind);
  EXPECT_TRUE(result.bScripted);
  struct Confirm : CDialog {
    Confirm() : CDialog(IDD_SETGAI_DLG) {}
    void OnClicked(UINT nID) override {
      if (nID == 1000) EndDialog(IDOK);
    }
  } dlg;
  EXPECT_EQ(IDOK, dlg.DoModal());
  EXPECT_EQ(U8(u8"earlier\nopen\tmap\t集約科目対応設定\nclose\tmap\tok\n"),
            ReadFile(m_strTranscript));
}

TEST_F(StartupTest, MissingScriptEndsTheRun) {
  ::setenv("RX16_UI", "headless", 1);
  ::setenv("RX16_UI_SCRIPT", (m_strScript + "-missing").c_str(), 1);
  ::setenv("RX16_UI_TRANSCRIPT", m_strTranscript.c_str(), 1);
  EXPECT_EXIT(InstallUiBackend(m_argc, m_argv), ::testing::ExitedWithCode(3), "");
  EXPECT_EQ(0u, ReadFile(m_strTranscript).find("error\tcannot read the script"));
}

}  // namespace
