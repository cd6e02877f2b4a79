#include "AccountNames.h"

#include "StandardChart.h"

int AccountNames::Id(const std::string& strName, const std::string& strFile, int nLine) {
  // Most lines repeat a title as written; the key is made once for each form.
  auto it = m_mapWritten.find(strName);
  if (it == m_mapWritten.end()) {
    const auto [key, bNew] =
        m_mapKey.emplace(StandardChart::Key(strName), static_cast<int>(m_arName.size()));
    if (bNew) m_arName.push_back({strName, {}, 0});
    it = m_mapWritten.emplace(strName, key->second).first;
  }
  if (m_bRecord) {
    Name& name = m_arName[static_cast<std::size_t>(it->second)];
    if (name.m_arUse.size() < kUsesKept) {
      name.m_arUse.push_back(strFile + " line " + std::to_string(nLine));
    }
    ++name.m_nUses;
  }
  return it->second;
}

int AccountNames::Find(const std::string& strName) const {
  if (const auto written = m_mapWritten.find(strName); written != m_mapWritten.end()) {
    return written->second;
  }
  const auto it = m_mapKey.find(StandardChart::Key(strName));
  return it == m_mapKey.end() ? -1 : it->second;
}
