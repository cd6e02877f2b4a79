#include <gtest/gtest.h>

#include "ArgvText.h"
#include "LocalClock.h"
#include "ScopedEnv.h"
#include "ScratchDir.h"
#include "TestText.h"

namespace {

using testsupport::ScopedEnv;
using testsupport::U8;

TEST(CommandLineTest, ArgumentsAfterTheProgramNameArriveInCp932) {
  const std::string path = U8(u8"1234,32768,5,/home/農家/ﾐﾄﾞﾘ～.xml");
  const char* argv[] = {"/opt/qt10/QT10ToRX16_G", path.c_str()};
  CString line = "stale";
  ASSERT_TRUE(platform::CommandLineFromArgs(2, argv, line));
  EXPECT_EQ(line, "1234,32768,5,/home/農家/ﾐﾄﾞﾘ～.xml");

  const std::string second = U8(u8"決算 書.xml");
  const char* split[] = {"prog", "1,2,3,/tmp/my", second.c_str()};
  ASSERT_TRUE(platform::CommandLineFromArgs(3, split, line));
  EXPECT_EQ(line, "1,2,3,/tmp/my 決算 書.xml");

  const char* alone[] = {"prog"};
  ASSERT_TRUE(platform::CommandLineFromArgs(1, alone, line));
  EXPECT_EQ(line, "");
}

TEST(CommandLineTest, TextWithoutACp932FormIsRefused) {
  const char* argv[] = {"prog", "1,2,3,/home/Jos\xC3\xA9/out.xml"};
  CString line = "stale";
  EXPECT_FALSE(platform::CommandLineFromArgs(2, argv, line));
  EXPECT_TRUE(line.empty());
  const char* broken[] = {"prog", "1,2,3,\xE8\xBE"};  // cut UTF-8
  EXPECT_FALSE(platform::CommandLineFromArgs(2, broken, line));
}

TEST(EnvironmentTest, VariablesAreConvertedOrRefused) {
  ScopedEnv name("RX16_TEST_NAME", U8(u8"ハルモア１０"));
  CString value;
  ASSERT_TRUE(platform::GetEnvironmentCp932("RX16_TEST_NAME", value));
  EXPECT_EQ(value, "ハルモア１０");
  ScopedEnv bad("RX16_TEST_NAME", std::string("Jos\xC3\xA9"));
  EXPECT_FALSE(platform::GetEnvironmentCp932("RX16_TEST_NAME", value));
  EXPECT_TRUE(value.empty());
  ScopedEnv unset("RX16_TEST_NAME", std::nullopt);
  EXPECT_FALSE(platform::GetEnvironmentCp932("RX16_TEST_NAME", value));
}

TEST(LocalClockTest, ATestCanStandOnAnyDateAndPutTheClockBack) {
  platform::SetLocalTimeSource([](std::tm& t) {
    t = std::tm{};
    t.tm_year = 2036 - 1900;
    return true;
  });
  std::tm now{};
  ASSERT_TRUE(platform::GetCurrentLocalTime(now));
  EXPECT_EQ(now.tm_year + 1900, 2036);
  platform::SetLocalTimeSource([](std::tm&) { return false; });
  EXPECT_FALSE(platform::GetCurrentLocalTime(now));

  platform::SetLocalTimeSource(nullptr);
  ASSERT_TRUE(platform::GetCurrentLocalTime(now));
  const std::time_t t = std::time(nullptr);
  std::tm expected{};
  ::localtime_r(&t, &expected);
  EXPECT_EQ(now.tm_year, expected.tm_year);
  EXPECT_EQ(now.tm_yday, expected.tm_yday);
}

}  // namespace
