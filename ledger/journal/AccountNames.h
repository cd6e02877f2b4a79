#pragma once
// The account titles a journal and its opening balances use, each given a
// number on first use. Titles that differ only in their written form (see
// StandardChart::Key) share a number. Sub-accounts and departments are not
// part of a title: they fold into their account.

#include <string>
#include <unordered_map>
#include <vector>

class AccountNames {
 public:
  struct Name {
    std::string m_strWritten;          // CP932, as first written
    std::vector<std::string> m_arUse;  // "FILE line N", the first kUsesKept uses
    std::size_t m_nUses = 0;
  };
  static constexpr std::size_t kUsesKept = 10;

  // The number of a title (CP932), used on a line of a file; uses are
  // recorded only while m_bRecord is set.
  int Id(const std::string& strName, const std::string& strFile, int nLine);

  // The number of a title used before; -1 when none.
  int Find(const std::string& strName) const;

  std::vector<Name> m_arName;
  bool m_bRecord = true;

 private:
  std::unordered_map<std::string, int> m_mapWritten;
  std::unordered_map<std::string, int> m_mapKey;
};
