#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "_CTextAccessor.h"
#include "_CTextFile.h"

namespace {

namespace fs = std::filesystem;

// Naturally aligned, the fields sit where the packed record has them.
struct Match {
  std::int16_t nItem;
  std::int16_t nCode;
  std::uint8_t nSide;
};

const _STAFormat kMatch[] = {
    {"item", 2, 0, 0, 2, FT_SIGNED, 1},
    {"code", 4, 0, 2, 2, FT_SIGNED, 1},
    {"side", 1, 0, 4, 1, FT_UNSIGNED, 1},
};

class TextFile : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir = fs::temp_directory_path() /
            ("rx16_textfile_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(m_dir);
    fs::create_directories(m_dir);
  }
  void TearDown() override { fs::remove_all(m_dir); }
  std::string PathOf(const char* name) { return (m_dir / name).string(); }
  static std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static void Spit(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }
  fs::path m_dir;
  Match m_rec{};
  _CTextAccessor m_acc{"G_MATCH", kMatch, 3, &m_rec};
};

TEST_F(TextFile, OpenFlagsCreateTruncateAppendAndRefuse) {
  const std::string path = PathOf("m.txt");
  _CTextFile file;
  m_acc.SetMode(_CTextAccessor::DELIM_COMMA, _CTextAccessor::QUOTE_NONE);
  ASSERT_EQ(file.Attach(&m_acc), 0);

  ASSERT_EQ(file.Open(path.c_str(), _CTextFile::TF_WRITE), 0);
  m_rec = {1, 101, 0};
  EXPECT_EQ(m_acc.Write(), 0);
  EXPECT_EQ(file.Open(path.c_str(), _CTextFile::TF_READ), -1) << "already open";
  EXPECT_EQ(file.Close(), 0);
  EXPECT_EQ(file.Open(path.c_str(), _CTextFile::TF_WRITE | _CTextFile::TF_READ), -1);
  EXPECT_EQ(Slurp(path), "1,101,0\n") << "a new-file open leaves an existing file alone";

  ASSERT_EQ(file.Open(path.c_str(), _CTextFile::TF_WRITE | _CTextFile::TF_APPEND), 0);
  m_rec = {2, -5, 1};
  EXPECT_EQ(m_acc.Write(), 0);
  file.Close();
  EXPECT_EQ(Slurp(path), "1,101,0\n2,-5,1\n");

  ASSERT_EQ(file.Open(path.c_str(), _CTextFile::TF_WRITE | _CTextFile::TF_TRUNCATE), 0);
  file.Close();
  EXPECT_EQ(Slurp(path), "");

  const std::string appended = PathOf("new.txt");
  ASSERT_EQ(file.Open(appended.c_str(), _CTextFile::TF_WRITE | _CTextFile::TF_APPEND), 0);
  file.Close();
  EXPECT_TRUE(fs::exists(appended));

  const long odd[] = {0, _CTextFile::TF_APPEND,
                      _CTextFile::TF_WRITE | _CTextFile::TF_APPEND | _CTextFile::TF_TRUNCATE};
  for (long flags : odd) EXPECT_EQ(file.Open(appended.c_str(), flags), -1) << flags;

  const std::string missing = PathOf("missing.txt");
  EXPECT_EQ(file.Open(missing.c_str(), _CTextFile::TF_READ), -1);
  EXPECT_FALSE(fs::exists(missing));
  EXPECT_EQ(file.Open("\x81", _CTextFile::TF_READ), -1) << "not CP932";
  EXPECT_EQ(file.Open(m_dir.c_str(), _CTextFile::TF_READ), -1) << "a folder";
}

TEST_F(TextFile, ReadsWindowsLinesAndMovesOnToTheNextFile) {
  _CTextFile file;
  ASSERT_EQ(file.Open(RX16_TEST_DATA_DIR "/textaccessor/windows_env.txt", _CTextFile::TF_READ), 0);
  // The first line is a condition, read by an accessor of its own shape.
#pragma pack(push, 1)
  struct Cond {
    char szId[41];
    std::int16_t nFrom, nTo;
    std::uint8_t nTax, nKind;
    char szOut[256];
  } cond{};
#pragma pack(pop)
  const _STAFormat condFormats[] = {
      {"id", 40, 0, 0, 41, FT_TEXT, 0},      {"from", 2, 0, 41, 2, FT_SIGNED, 1},
      {"to", 2, 0, 43, 2, FT_SIGNED, 1},     {"tax", 1, 0, 45, 1, FT_UNSIGNED, 1},
      {"kind", 1, 0, 46, 1, FT_UNSIGNED, 1}, {"out", 255, 0, 47, 256, FT_TEXT, 0},
  };
  _CTextAccessor head("G_CONDITION", condFormats, 6, &cond);
  head.SetMode(_CTextAccessor::DELIM_COMMA, _CTextAccessor::QUOTE_DOUBLE);
  file.Attach(&head);
  ASSERT_EQ(head.Read(), 0);
  EXPECT_STREQ(cond.szId, "ID0001");
  EXPECT_EQ(+cond.nTo, 3);
  EXPECT_STREQ(cond.szOut, "C:\\out\\gaikyo.xml") << "no CR left at the end of the line";

  m_acc.SetMode(_CTextAccessor::DELIM_COMMA, _CTextAccessor::QUOTE_NONE);
  file.Attach(&m_acc);
  std::string seen;
  long nResult;
  while ((nResult = m_acc.Read()) == 0) {
    seen += std::to_string(m_rec.nItem) + ":" + std::to_string(m_rec.nCode) + ":" +
            std::to_string(m_rec.nSide) + " ";
  }
  EXPECT_EQ(nResult, 1);
  EXPECT_EQ(seen, "1:101:0 1:102:0 35:999:1 ");
  EXPECT_EQ(file.Close(), -1) << "a stream read to its end is failed";

  const std::string next = PathOf("\x93\xfa\x96\x7b.txt");  // a CP932 file name
  Spit((m_dir / reinterpret_cast<const char*>(u8"日本.txt")).string(), "7,8,1\n");
  ASSERT_EQ(file.Open(next.c_str(), _CTextFile::TF_READ), 0);
  ASSERT_EQ(m_acc.Read(), 0) << "the accessor stays attached across Close and Open";
  EXPECT_EQ(m_rec.nCode, 8);
  EXPECT_EQ(m_acc.Read(), 1);
}

}  // namespace
