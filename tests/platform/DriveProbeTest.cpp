#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "DriveProbe.h"
#include "ScopedEnv.h"
#include "ScratchDir.h"
#include "TestText.h"

namespace {

using testsupport::ScratchDir;

// Fails the way a vanished network share or a drive without its medium does.
int OfflineStatFs(const char* path, struct statfs* result) {
  if (std::strstr(path, "/offline") != nullptr) {
    errno = ENOTCONN;
    return -1;
  }
  return ::statfs(path, result);
}

int SmbStatFs(const char* path, struct statfs* result) {
  const int rc = ::statfs(path, result);
  result->f_type = 0xFE534D42;
  return rc;
}

// A machine described by files: the scratch folder's own device carries a
// fixed disk at the scratch folder, a USB stick partition, a whole fixed
// disk, two network mounts and a stick whose mount point has a blank.
class DriveProbeTest : public ::testing::Test {
 protected:
  ScratchDir m_dir;
  std::string m_root;
  std::string m_mountInfo;
  std::string m_sys;

  void SetUp() override {
    m_root = m_dir.path() + "/m";
    m_mountInfo = m_dir.path() + "/mountinfo";
    m_sys = m_dir.path() + "/sys";
    for (const char8_t* d : {u8"usb/ﾃﾞｰﾀ", u8"disk", u8"nas", u8"ssh", u8"my stick", u8"offline"})
      std::filesystem::create_directories(m_root + "/" + testsupport::U8(d));
    std::filesystem::create_directories(m_sys + "/block/sdz/sdz1");
    std::filesystem::create_directories(m_sys + "/block/sdy");
    std::filesystem::create_directories(m_sys + "/block/sdx");
    std::ofstream(m_sys + "/block/sdz/removable") << "1\n";
    std::ofstream(m_sys + "/block/sdy/removable") << "0\n";
    std::ofstream(m_sys + "/block/sdx/removable") << "0\n";

    struct stat st;
    ASSERT_EQ(::stat(m_root.c_str(), &st), 0);
    const std::string dev =
        std::to_string(major(st.st_dev)) + ":" + std::to_string(minor(st.st_dev));
    const std::string root = std::filesystem::canonical(m_root).string();
    std::ofstream(m_mountInfo) << "21 1 0:0 / / rw,relatime shared:1 - ext4 /dev/sdw1 rw\n"
                               << "22 21 " << dev << " / " << root << " rw - ext4 /dev/sdx2 rw\n"
                               << "23 22 " << dev << " / " << root
                               << "/usb rw,nosuid shared:7 master:2 - vfat /dev/sdz1 rw\n"
                               << "24 22 " << dev << " / " << root << "/disk rw - xfs /dev/sdy rw\n"
                               << "25 22 " << dev << " / " << root
                               << "/nas rw - nfs4 server:/export rw\n"
                               << "26 22 " << dev << " / " << root
                               << "/ssh rw - fuse.sshfs me@host: rw\n"
                               << "27 22 " << dev << " / " << root
                               << "/my\\040stick rw - vfat /dev/sdz1 rw\n";
  }

  DriveProbe Probe(DriveProbe::StatFsFunction statFs = ::statfs) const {
    return DriveProbe(m_mountInfo, m_sys, statFs);
  }
};

TEST_F(DriveProbeTest, TellsRemovableNetworkAndFixedDrivesApart) {
  const DriveProbe probe = Probe();
  EXPECT_EQ(probe.GetDriveType(m_root + "/usb/ﾃﾞｰﾀ"), DriveProbe::kRemovable);  // partition of sdz
  EXPECT_EQ(probe.GetDriveType(m_root + "/my stick"), DriveProbe::kRemovable);
  EXPECT_EQ(probe.GetDriveType(m_root + "/disk"), DriveProbe::kFixed);  // whole disk, not removable
  EXPECT_EQ(probe.GetDriveType(m_root), DriveProbe::kFixed);
  EXPECT_EQ(probe.GetDriveType(m_root + "/nas"), DriveProbe::kNetwork);
  EXPECT_EQ(probe.GetDriveType(m_root + "/ssh"), DriveProbe::kNetwork);
  EXPECT_EQ(Probe(SmbStatFs).GetDriveType(m_root + "/disk"), DriveProbe::kNetwork);
}

TEST_F(DriveProbeTest, MissingUnreadableOrUnnamablePathsAreInvalid) {
  EXPECT_EQ(Probe().GetDriveType(m_root + "/無い"), DriveProbe::kInvalid);
  EXPECT_EQ(Probe().GetDriveType(m_root + "/\x82"), DriveProbe::kInvalid);
  EXPECT_EQ(Probe(OfflineStatFs).GetDriveType(m_root + "/offline"), DriveProbe::kInvalid);
}

TEST_F(DriveProbeTest, CurrentDriveIsTheWorkingFoldersDrive) {
  const std::filesystem::path saved = std::filesystem::current_path();
  std::filesystem::current_path(m_root + "/nas");
  EXPECT_EQ(Probe().GetCurrentDriveType(), DriveProbe::kNetwork);
  std::filesystem::current_path(m_root + "/usb");
  EXPECT_EQ(Probe().GetCurrentDriveType(), DriveProbe::kRemovable);
  std::filesystem::current_path(saved);
  // The machine's own tables: the build folder is not invalid.
  EXPECT_NE(DriveProbe().GetCurrentDriveType(), DriveProbe::kInvalid);
}

TEST_F(DriveProbeTest, FolderCheckSeparatesMalformedNotReadyAndUsable) {
  const DriveProbe probe = Probe(OfflineStatFs);
  EXPECT_EQ(probe.CheckFolderDrive(m_root + "/usb"), DriveProbe::kFolderUsable);
  EXPECT_EQ(probe.CheckFolderDrive(m_root + "/新しい/フォルダ"), DriveProbe::kFolderUsable);
  EXPECT_EQ(probe.CheckFolderDrive(m_root + "/offline"), DriveProbe::kFolderNotReady);
  EXPECT_EQ(probe.CheckFolderDrive(m_root + "/offline/未作成/"), DriveProbe::kFolderNotReady);
  EXPECT_EQ(probe.CheckFolderDrive(""), DriveProbe::kFolderMalformed);
  EXPECT_EQ(probe.CheckFolderDrive("出力/xml"), DriveProbe::kFolderMalformed);
  EXPECT_EQ(probe.CheckFolderDrive(m_root + "/\x82\x20"), DriveProbe::kFolderMalformed);
  EXPECT_EQ(probe.CheckFolderDrive(m_root + "/" + std::string(300, 'x')),
            DriveProbe::kFolderMalformed);
  EXPECT_EQ(probe.CheckFolderDrive("/"), DriveProbe::kFolderUsable);
}

}  // namespace
