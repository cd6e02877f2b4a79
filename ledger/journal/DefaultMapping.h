#pragma once
// The shipped default mappings as the common initial-data file holds them:
// its match lines (item, account code, side) up to the end mark "-1", then
// the item definitions (number, name, side, kind, account numbers, formula,
// tag). Read for the import's preview: which item each account feeds and
// what the defaults would give.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

class DefaultMapping {
 public:
  struct Match {
    int m_nItem = 0;
    int m_nCode = 0;
    bool m_bCredit = false;
  };
  struct Item {
    int m_nItem = 0;
    std::string m_strName;  // CP932
    bool m_bCredit = false;
    int m_nKubun = 0;          // 12 or more: a monthly item
    std::string m_strFormula;  // a total's keyword (URIAGE, ...) or empty
  };

  bool Load(const std::filesystem::path& path);

  std::vector<Match> m_arMatch;
  std::vector<Item> m_arItem;
  std::string m_strError;
};
