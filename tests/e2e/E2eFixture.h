#pragma once
// A scratch installation per test, made by the real host program, with
// every per-user folder, guard and window socket inside the test's own
// folder so that tests can run side by side. The sources are compiled to
// CP932: scripts, transcripts and expectations are written as u8 literals.

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

inline std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

struct RunResult {
  int nExit = -1;         // exit status; 128 + signal; -2 when it had to be killed
  std::string strOutput;  // standard output and error
};

// Runs argv[0] in cwd and waits (at most two minutes). With a file-size
// limit (bytes, 0 or more) no file of the process and its children grows
// beyond it: a write there fails as on a full disk.
RunResult RunProgram(const std::vector<std::string>& arArgv, const std::string& strCwd,
                     long long nFileSizeLimit = -1);

// One transcript event: its fields, the event name first.
using Event = std::vector<std::string>;

// The XML file read back: decoded from CP932 and parsed by libxml2.
struct XmlReport {
  bool bParsed = false;
  std::string strDeclaredEncoding;
  std::string strRoot;
  std::map<std::string, std::string> mapValue;   // element name to its text
  std::vector<std::string> arElement;            // element names in document order
  long Figure(const std::string& strTag) const;  // an empty element reads as 0
};
XmlReport ReadXml(const std::string& strPath);

// A CP932 file decoded to UTF-8 ("" when missing or not CP932).
std::string ReadCp932File(const std::string& strPath);
std::string ReadFile(const std::string& strPath);

class E2e : public ::testing::Test {
 protected:
  E2e();
  ~E2e() override;

  // QT10.EXE init into Dir("inst"), with the sample books of the edition.
  void Install(bool bCooperative = false);
  std::string Dir(const std::string& strName) const { return m_strRoot + "/" + strName; }
  std::string ProgramDir() const { return Dir("inst"); }

  // The headless script (UTF-8 lines) the next runs play.
  void Script(const std::vector<std::string>& arStep);
  // The component started by hand (command line empty) from another folder.
  RunResult RunComponent(const std::vector<std::string>& arArg = {});
  // The installation's host program launching the component.
  RunResult Launch(const std::vector<std::string>& arArg = {});
  RunResult Host(const std::vector<std::string>& arArg);

  // The transcript's events; focus events left out unless asked for.
  std::vector<Event> Transcript(bool bWithFocus = false) const;
  std::vector<Event> EventsNamed(const std::string& strName) const;
  void ClearTranscript() const;
  // The one XML file in the documents folder ("" when none or several).
  std::string DocumentsXml() const;

  void SetEnv(const std::string& strName, const std::optional<std::string>& strValue);

  std::string m_strRoot;
  // The file-size limit RunComponent and Launch run under; negative: none.
  long long m_nFileSizeLimit = -1;

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> m_arSavedEnv;
};

// Message texts as the transcript writes them.
inline const std::string kCaption = U8(u8"内訳概況書のミラベル（概況書）");
inline const std::string kStopped = U8(u8"内訳概況書の集計を中止します。");
inline const std::string kCompleted = U8(u8"事業概況書データの集計結果を正常に出力しました。");

}  // namespace e2e
