#include "DefaultMapping.h"

#include <fstream>
#include <sstream>

namespace {

std::vector<std::string> Split(const std::string& strLine) {
  std::vector<std::string> ar;
  std::stringstream in(strLine);
  for (std::string s; std::getline(in, s, ',');) ar.push_back(s);
  return ar;
}

int Number(const std::string& s) {
  int n = 0;
  bool bNeg = false;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (i == 0 && s[i] == '-') {
      bNeg = true;
    } else if (s[i] >= '0' && s[i] <= '9' && n < 100000000) {
      n = n * 10 + (s[i] - '0');
    } else {
      return 0;
    }
  }
  return bNeg ? -n : n;
}

}  // namespace

bool DefaultMapping::Load(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    m_strError = path.string() + ": cannot be read";
    return false;
  }
  bool bItems = false;
  for (std::string strLine; std::getline(in, strLine);) {
    if (!strLine.empty() && strLine.back() == '\r') strLine.pop_back();
    const std::vector<std::string> f = Split(strLine);
    if (f.size() < 3) continue;
    if (!bItems) {
      if (Number(f[0]) < 0) {
        bItems = true;
      } else {
        m_arMatch.push_back({Number(f[0]), Number(f[1]), f[2] == "2"});
      }
      continue;
    }
    if (f.size() < 6) continue;
    m_arItem.push_back({Number(f[0]), f[1], f[2] == "2", Number(f[3]), f[5]});
  }
  return true;
}
