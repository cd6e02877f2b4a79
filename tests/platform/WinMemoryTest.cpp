#include <gtest/gtest.h>

#include <fstream>

#include "ScopedEnv.h"
#include "ScratchDir.h"
#include "TestText.h"
#include "WinMemory.h"

namespace {

class MemoryTest : public ::testing::Test {
 protected:
  testsupport::ScratchDir m_dir;
  void Feed(const std::string& text) {
    const std::string path = m_dir.path() + "/meminfo";
    std::ofstream(path) << text;
    platform::SetMemInfoPath(path);
  }
  void TearDown() override { platform::SetMemInfoPath(""); }
};

TEST_F(MemoryTest, AvailablePagingIsAvailableMemoryPlusFreeSwapInBytes) {
  Feed(
      "MemTotal:        8000 kB\nMemFree:          100 kB\nMemAvailable:    3000 kB\n"
      "SwapTotal:       2048 kB\nSwapFree:        2000 kB\nHugePages_Total:       0\n");
  std::uint64_t bytes = 0;
  ASSERT_TRUE(platform::GetAvailablePagingMemory(bytes));
  EXPECT_EQ(bytes, 5000u * 1024);
  MEMORYSTATUS status;
  GlobalMemoryStatus(&status);
  EXPECT_EQ(status.dwLength, sizeof(MEMORYSTATUS));
  EXPECT_EQ(status.dwAvailPageFile, 5000u * 1024);
  EXPECT_EQ(status.dwTotalPageFile, 10048u * 1024);
  EXPECT_EQ(status.dwAvailPhys, 3000u * 1024);
  EXPECT_EQ(status.dwMemoryLoad, 63u);
}

TEST_F(MemoryTest, TheStartUpThresholdFallsExactlyOnFiveMegabytes) {
  // 0x500000 bytes is 5120 kB; no swap at all.
  Feed("MemTotal: 65536 kB\nMemAvailable: 5120 kB\n");
  MEMORYSTATUS status;
  GlobalMemoryStatus(&status);
  EXPECT_EQ(status.dwAvailPageFile, 0x500000u);
  Feed("MemTotal: 65536 kB\nMemAvailable: 5119 kB\nSwapFree: 0 kB\n");
  GlobalMemoryStatus(&status);
  EXPECT_LT(status.dwAvailPageFile, 0x500000u);
}

TEST_F(MemoryTest, OldKernelsUseFreeMemoryAndUnreadableFiguresReportNothing) {
  Feed("MemTotal: 1000 kB\nMemFree: 400 kB\nSwapFree: 100 kB\n");
  std::uint64_t bytes = 0;
  ASSERT_TRUE(platform::GetAvailablePagingMemory(bytes));
  EXPECT_EQ(bytes, 500u * 1024);

  Feed("garbage\n");
  EXPECT_FALSE(platform::GetAvailablePagingMemory(bytes));
  platform::SetMemInfoPath(m_dir.path() + "/missing");
  EXPECT_FALSE(platform::GetAvailablePagingMemory(bytes));
  MEMORYSTATUS status;
  status.dwAvailPageFile = 123;
  GlobalMemoryStatus(&status);
  EXPECT_EQ(status.dwAvailPageFile, 0u);  // a check then refuses instead of passing blind

  platform::SetMemInfoPath("");
  ASSERT_TRUE(platform::GetAvailablePagingMemory(bytes));  // this machine's /proc/meminfo
  EXPECT_GT(bytes, 0u);
}

}  // namespace
