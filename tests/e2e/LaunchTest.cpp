#include <filesystem>

#include "E2eFixture.h"
#include "NamedGuard.h"

namespace e2e {
namespace {

// The lines launch prints for the component's calls, in their order.
std::vector<std::string> ComponentLines(const std::string& strOutput) {
  std::vector<std::string> arLine;
  std::size_t nStart = 0;
  while (nStart < strOutput.size()) {
    std::size_t nEnd = strOutput.find('\n', nStart);
    if (nEnd == std::string::npos) nEnd = strOutput.size();
    const std::string strLine = strOutput.substr(nStart, nEnd - nStart);
    if (strLine.rfind("component: ", 0) == 0 || strLine.rfind("result: ", 0) == 0) {
      arLine.push_back(strLine);
    }
    nStart = nEnd + 1;
  }
  return arLine;
}

TEST_F(E2e, HostLaunchWithFixedOutputIsSilentAndPostsTheResult) {
  Install();
  std::filesystem::create_directory(Dir("out"));
  Script({"choose 0", "expect page 4938", "key F8"});
  const RunResult r = Launch({"--function", "5", "--out", Dir("out/report.xml")});
  EXPECT_EQ(r.nExit, 0) << r.strOutput;
  const std::vector<std::string> expected = {
      "component: EnableWindow(FALSE)", "component: SetForegroundWindow",
      "component: EnableWindow(TRUE)",  "component: PostMessage(message 32784, wParam 5, lParam 0)",
      "result: completed (function 5)",
  };
  EXPECT_EQ(ComponentLines(r.strOutput), expected) << r.strOutput;

  // The host is told by the posted message alone.
  EXPECT_TRUE(EventsNamed("msgbox").empty());
  const std::vector<Event> arPost = EventsNamed("post");
  ASSERT_EQ(arPost.size(), 1u);
  EXPECT_EQ(arPost[0][2], "32784");
  EXPECT_EQ(arPost[0][3], "5");
  EXPECT_EQ(arPost[0][4], "0");

  const XmlReport xml = ReadXml(Dir("out/report.xml"));
  ASSERT_TRUE(xml.bParsed);
  EXPECT_EQ(xml.mapValue.at("FUNCTIONID"), "5");
  EXPECT_EQ(xml.mapValue.at("KOMONSAKINAME"), U8(u8"みどり農産株式会社"));
  EXPECT_TRUE(DocumentsXml().empty());
  // Both guards are gone by the time the host hears the result.
  EXPECT_FALSE(NamedGuard::IsHeld("RoderoZerozUvo"));
  EXPECT_FALSE(NamedGuard::IsHeld("QuillmossQT10"));
}

TEST_F(E2e, LaunchedCancellationIsSilentWithTheFunctionNumberSignExtended) {
  Install();
  Script({"cancel"});
  const RunResult r = Launch({"--function", "-3"});
  EXPECT_EQ(r.nExit, 1) << r.strOutput;
  EXPECT_NE(r.strOutput.find("component: PostMessage(message 32784, wParam -3, lParam 1)"),
            std::string::npos)
      << r.strOutput;
  EXPECT_NE(r.strOutput.find("result: cancelled (function -3)"), std::string::npos);
  EXPECT_TRUE(EventsNamed("msgbox").empty());
  EXPECT_FALSE(EventsNamed("open").empty());
}

TEST_F(E2e, LaunchRefusesAnOutputPathTheComponentCouldNotRead) {
  Install();
  const RunResult r = Launch({"--out", Dir(std::string(300, 'x') + ".xml")});
  EXPECT_EQ(r.nExit, 2);
  EXPECT_NE(r.strOutput.find("at most 259"), std::string::npos) << r.strOutput;
  // A UTF-8 name (José) the component could only see mangled.
  const RunResult bad = Launch({"--out", Dir("Jos\xC3\xA9.xml")});
  EXPECT_EQ(bad.nExit, 2);
  EXPECT_NE(bad.strOutput.find("no Shift_JIS (CP932) form"), std::string::npos) << bad.strOutput;
  EXPECT_TRUE(Transcript().empty());
}

TEST_F(E2e, LaunchWithoutAComponentIsAnError) {
  Install();
  std::filesystem::remove(ProgramDir() + "/QT10ToRX16_G");
  const RunResult r = Launch();
  EXPECT_EQ(r.nExit, 2);
  EXPECT_NE(r.strOutput.find("no component to start"), std::string::npos) << r.strOutput;
}

}  // namespace
}  // namespace e2e
