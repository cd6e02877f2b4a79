// Feeds arbitrary bytes, line by line, to the text record accessor under
// every layout and quote mode, and checks that no conversion writes outside
// the record, and that reading from a buffered stream gives what reading one
// byte per refill gives. The first input byte picks the modes and flags; each
// input is read with a mixed table and with a table of numbers only.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>

#include "_CTextAccessor.h"

namespace {

constexpr std::size_t kGuard = 32;
constexpr unsigned char kGuardByte = 0xA5;

#pragma pack(push, 1)
struct Record {
  char szText[13];
  std::int16_t nSigned;
  std::int64_t nAmount;
  std::uint8_t nUnsigned;
  std::int32_t nLong;
  char szShort[2];
};
#pragma pack(pop)

const _STAFormat kFormats[] = {
    {"text", 12, 0, offsetof(Record, szText), 13, FT_TEXT, 0},
    {"signed", 6, 0, offsetof(Record, nSigned), 2, FT_SIGNED, 1},
    {"amount", 12, 3, offsetof(Record, nAmount), 8, FT_SIGNED, 0},
    {"unsigned", 3, 0, offsetof(Record, nUnsigned), 1, FT_UNSIGNED, 0},
    {"long", 11, 0, offsetof(Record, nLong), 4, FT_SIGNED, 0},
    {"short", 1, 0, offsetof(Record, szShort), 2, FT_TEXT, 1},
};
constexpr long kCount = sizeof kFormats / sizeof kFormats[0];

const _STAFormat kNumberFormats[] = {
    {"signed", 6, 0, offsetof(Record, nSigned), 2, FT_SIGNED, 1},
    {"long", 11, 0, offsetof(Record, nLong), 4, FT_SIGNED, 0},
    {"unsigned", 3, 0, offsetof(Record, nUnsigned), 1, FT_UNSIGNED, 0},
    {"amount", 12, 3, offsetof(Record, nAmount), 8, FT_SIGNED, 0},
};
constexpr long kNumberCount = sizeof kNumberFormats / sizeof kNumberFormats[0];

// Every refill gives one byte, so every line spans refills.
class OneByteBuffer : public std::streambuf {
 public:
  explicit OneByteBuffer(const std::string& str) : m_str(str) {}

 protected:
  int_type underflow() override {
    if (m_nNext >= m_str.size()) return traits_type::eof();
    m_c = m_str[m_nNext++];
    setg(&m_c, &m_c, &m_c + 1);
    return traits_type::to_int_type(m_c);
  }

 private:
  const std::string& m_str;
  std::size_t m_nNext = 0;
  char m_c = 0;
};

void CheckGuards(const unsigned char* pBuffer) {
  for (std::size_t i = 0; i < kGuard; ++i) {
    if (pBuffer[i] != kGuardByte || pBuffer[kGuard + sizeof(Record) + i] != kGuardByte) {
      std::fprintf(stderr, "write outside the record\n");
      std::abort();
    }
  }
}

// One accessor with the given modes over the record.
void Configure(_CTextAccessor& acc, unsigned mode, long nCount) {
  const long nDelimiter = mode & 3;
  const long nQuote = nDelimiter == _CTextAccessor::DELIM_FIXED ? 0 : (mode >> 2) % 3;
  if (acc.SetMode(nDelimiter, nQuote) != 0) std::abort();
  acc.SetSpaceFlag((mode >> 4) & 1);
  static const std::int32_t select[] = {3, 2, 0};
  if (mode & 0x20) {
    acc.SetSelect(select, 3);
    acc.SetSelectFlag(0);
  }
  if (mode & 0x40) acc.RotateFormat(1, 3, nCount - 1);
  if (mode & 0x80) acc.SetMask(2, 2);
}

void ReadAll(const _STAFormat* pFormats, long nCount, unsigned mode, const std::string& text) {
  unsigned char buffer[kGuard + sizeof(Record) + kGuard];
  std::memset(buffer, kGuardByte, sizeof buffer);
  unsigned char* pRecord = buffer + kGuard;
  std::memset(pRecord, 0, sizeof(Record));
  Record slow{};

  _CTextAccessor acc("FUZZ", pFormats, nCount, pRecord);
  _CTextAccessor accSlow("FUZZ", pFormats, nCount, &slow);
  Configure(acc, mode, nCount);
  Configure(accSlow, mode, nCount);

  std::stringstream in(text);
  OneByteBuffer bytes(text);
  std::iostream inSlow(&bytes);
  acc.Attach(&in);
  accSlow.Attach(&inSlow);
  std::stringstream out;
  for (int nLines = 0; nLines < 10000; ++nLines) {
    const long nResult = acc.Read();
    CheckGuards(buffer);
    if (nResult != accSlow.Read() || std::memcmp(pRecord, &slow, sizeof slow) != 0 ||
        in.rdstate() != inSlow.rdstate()) {
      std::fprintf(stderr, "buffered and byte-wise reading differ at line %d\n", nLines);
      std::abort();
    }
    if (nResult == 1) break;
    if (nResult != 0 && nResult != 2) std::abort();
    if (nResult == 0) {
      // What was read writes back without touching anything but the stream.
      acc.Attach(&out);
      if (acc.Write() != 0) std::abort();
      CheckGuards(buffer);
      acc.Attach(&in);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
  if (nSize < 1) return 0;
  const std::string text(reinterpret_cast<const char*>(pData) + 1, nSize - 1);
  ReadAll(kFormats, kCount, pData[0], text);
  ReadAll(kNumberFormats, kNumberCount, pData[0], text);
  return 0;
}
