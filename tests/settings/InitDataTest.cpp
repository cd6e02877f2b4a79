// The shipped common initial-data files against the sample chart of accounts.

#include <cstdlib>
#include <map>
#include <set>
#include <sstream>

#include "Cp932.h"
#include "S_KANKAMOKU.h"
#include "SettingsFixture.h"

namespace {

struct Account {
  int nNumber;
  std::uint8_t nSide;
};

// data/books/midori/accounts.csv: code,number,name,display_name,side,...
std::map<int, Account> SampleChart() {
  std::map<int, Account> chart;
  std::istringstream in(
      SettingsFixture::ReadFile(RX16_SOURCE_DIR "/data/books/midori/accounts.csv"));
  std::string line;
  std::getline(in, line);
  while (std::getline(in, line)) {
    std::vector<std::string> cells;
    std::istringstream row(line);
    for (std::string cell; std::getline(row, cell, ',');) cells.push_back(cell);
    chart[std::atoi(cells[0].c_str())] = {std::atoi(cells[1].c_str()),
                                          cells[4] == "credit" ? KAMOKU_KASIKATA : KAMOKU_KARIKATA};
  }
  return chart;
}

// The candidate rule of the mapping dialog: "ALL", a "+" list, a "-" range or one number.
bool IsCandidate(const std::string& candidates, int nNumber) {
  if (candidates == "ALL") return true;
  if (candidates.find('+', 1) != std::string::npos) {
    std::istringstream in(candidates);
    for (std::string token; std::getline(in, token, '+');) {
      if (std::atoi(token.c_str()) == nNumber) return true;
    }
    return false;
  }
  const std::size_t nDash = candidates.find('-', 1);
  if (nDash != std::string::npos) {
    return std::atoi(candidates.substr(0, nDash).c_str()) <= nNumber &&
           nNumber <= std::atoi(candidates.substr(nDash + 1).c_str());
  }
  return std::atoi(candidates.c_str()) == nNumber;
}

class InitData : public SettingsFixture {};

TEST_F(InitData, BothEditionsShipTheSameCrLfFile) {
  const std::string regular = ReadFile(m_strShipped + "QT10ToRX16_G_common_init.dat");
  ASSERT_FALSE(regular.empty());
  EXPECT_EQ(regular, ReadFile(m_strShipped + "KP10ToRX16_G_common_init.dat"));
  std::size_t nLines = 0;
  for (std::size_t i = 0; i < regular.size(); ++i) {
    if (regular[i] != '\n') continue;
    ++nLines;
    EXPECT_TRUE(i > 0 && regular[i - 1] == '\r') << "line " << nLines;
  }
  EXPECT_EQ(regular.back(), '\n');
  std::string utf8;
  EXPECT_TRUE(cp932::ToUtf8(regular, utf8));
}

TEST_F(InitData, FirstRunLoadsDefaultsAndTheFortyThreeItems) {
  CSetGaiFile files = Files();
  ASSERT_EQ(files.LoadSettings(m_strDir, m_cond, m_arMatch, m_arInitBody), 1);
  EXPECT_TRUE(m_arMessages.empty());

  ASSERT_EQ(m_arInitBody.size(), 44u);
  const _SG_INIT_BODY sentinel{};
  EXPECT_EQ(std::memcmp(&m_arInitBody.back(), &sentinel, sizeof sentinel), 0);
  ASSERT_GT(m_arMatch.size(), 1u);
  const _SG_MATCH noMatch{};
  EXPECT_EQ(std::memcmp(&m_arMatch.back(), &noMatch, sizeof noMatch), 0);

  const std::set<int> headings = {1, 3, 11, 17, 19, 20, 30, 35};
  const std::set<std::string> keywords = {"URIAGE",     "GENKA",  "URISOURIEKI", "EIGYOSONEKI",
                                          "ZEIBIKIMAE", "SHISAN", "HUSAI",       "SHIHON"};
  std::set<std::string> tags;
  for (int i = 0; i < SG_ITEM_COUNT; ++i) {
    const _SG_INIT_BODY& body = m_arInitBody[i];
    SCOPED_TRACE(body.szGaiName);
    EXPECT_EQ(int{body.nGaiNo}, i + 1);
    EXPECT_EQ(body.nKubun >= SG_MONTHLY_KUBUN, i >= SG_MAIN_ITEM_COUNT);
    EXPECT_EQ(headings.count(i + 1) == 1, body.szSeikaku[0] == '\0');
    if (body.szSeikaku[0] == '\0') {
      EXPECT_EQ(keywords.count(body.szKeisan), 1u);
    }
    EXPECT_TRUE(body.nTaisyaku == KAMOKU_KARIKATA || body.nTaisyaku == KAMOKU_KASIKATA);
    // Main captions sit on buttons about ten full-width characters wide.
    if (i < SG_MAIN_ITEM_COUNT) {
      EXPECT_LE(std::strlen(body.szGaiName), 20u);
    }
    // Monthly tags get two month digits appended inside the 51-byte name.
    EXPECT_LE(std::strlen(body.szTag), i < SG_MAIN_ITEM_COUNT ? 50u : 48u);
    EXPECT_NE(body.szTag[0], '\0');
    EXPECT_TRUE(tags.insert(body.szTag).second) << "duplicate tag";
  }

  const std::map<int, Account> chart = SampleChart();
  ASSERT_FALSE(chart.empty());
  for (std::size_t i = 0; i + 1 < m_arMatch.size(); ++i) {
    const _SG_MATCH& match = m_arMatch[i];
    SCOPED_TRACE(testing::Message() << int{match.nGaiNo} << "," << int{match.nBokiCode});
    ASSERT_TRUE(match.nGaiNo >= 1 && match.nGaiNo <= SG_ITEM_COUNT);
    const auto account = chart.find(match.nBokiCode);
    ASSERT_NE(account, chart.end());
    EXPECT_EQ(match.nTaisyaku, account->second.nSide);
    EXPECT_TRUE(IsCandidate(m_arInitBody[match.nGaiNo - 1].szSeikaku, account->second.nNumber));
  }
}

}  // namespace
