#include "CReportFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "CFinGaiFigures.h"
#include "CFigureChecks.h"
#include "CFinGaiSum.h"
#include "CKaikei.h"
#include "OsPath.h"
#include "ReportFormat.h"

namespace {

constexpr const char* kRoot = "REPORT";
constexpr const char* kMonthRow = "TUKIBETU_";
// Three figures cut to thousands each lose less than one thousand.
constexpr double kThousandsRounding = 2.0;

CString Decode(std::string_view text) {
  static const std::pair<std::string_view, char> kEntities[] = {
      {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
  CString out;
  for (std::size_t i = 0; i < text.size();) {
    bool bEntity = false;
    for (const auto& [strName, c] : kEntities) {
      if (text.substr(i).starts_with(strName)) {
        out += c;
        i += strName.size();
        bEntity = true;
        break;
      }
    }
    if (!bEntity) out += text[i++];
  }
  // Blanks around a text are layout, not content.
  const std::size_t nFirst = out.find_first_not_of(" \t\r\n");
  if (nFirst == CString::npos) return CString();
  return out.substr(nFirst, out.find_last_not_of(" \t\r\n") - nFirst + 1);
}

CString TwoDigits(int n) {
  char szText[16];
  std::snprintf(szText, sizeof szText, "%02d", n);
  return szText;
}

// The whole text as a number, blanks around it allowed.
bool ReadNumber(const CString& strText, double& dValue) {
  const char* pszBegin = strText.c_str();
  char* pszEnd = nullptr;
  dValue = std::strtod(pszBegin, &pszEnd);
  if (pszEnd == pszBegin || !std::isfinite(dValue)) {
    dValue = 0.0;
    return false;
  }
  for (; *pszEnd != '\0'; ++pszEnd) {
    if (*pszEnd != ' ' && *pszEnd != '\t') {
      dValue = 0.0;
      return false;
    }
  }
  return true;
}

void BadValue(CReportModel& model, int nItem, int nMonth, const CString& strMessage) {
  model.m_arFinding.push_back({"bad-file-value", CReportModel::Severity::Warning, nItem, 0, nMonth,
                               strMessage, std::nullopt});
}

void SplitDate(const CString& strDate, int (&ymd)[3]) {
  const long nDate = std::atol(strDate.c_str());
  ymd[0] = static_cast<int>(nDate / 10000);
  ymd[1] = static_cast<int>(nDate / 100 % 100);
  ymd[2] = static_cast<int>(nDate % 100);
}

}  // namespace

bool CReportFile::Fail(const CString& strError) {
  m_strError = strError;
  return false;
}

bool CReportFile::Parse(const std::string& strXml, const char* pszRoot,
                        std::map<CString, CString>& mapText) {
  mapText.clear();
  std::vector<std::pair<CString, std::size_t>> arOpen;  // name, end of its start tag
  bool bRootSeen = false;
  // Markup bytes are ASCII below 0x40, which no CP932 trail byte is.
  for (std::size_t i = strXml.find('<'); i != std::string::npos; i = strXml.find('<', i)) {
    const std::size_t nEnd = strXml.find('>', i);
    if (nEnd == std::string::npos) return false;
    const std::string_view tag(strXml.data() + i + 1, nEnd - i - 1);
    const std::size_t nNext = nEnd + 1;
    if (tag.starts_with("?") || tag.starts_with("!")) {
      if (tag.starts_with("!--")) {
        const std::size_t nClose = strXml.find("-->", i);
        if (nClose == std::string::npos) return false;
        i = nClose + 3;
      } else {
        i = nNext;
      }
      continue;
    }
    if (tag.starts_with("/")) {
      if (arOpen.empty() || arOpen.back().first != tag.substr(1)) return false;
      const std::size_t nText = arOpen.back().second;
      mapText[arOpen.back().first] = Decode(std::string_view(strXml.data() + nText, i - nText));
      arOpen.pop_back();
      i = nNext;
      continue;
    }
    const bool bEmpty = tag.ends_with("/");
    const std::string_view body = bEmpty ? tag.substr(0, tag.size() - 1) : tag;
    const CString strName(body.substr(0, body.find_first_of(" \t\r\n")));
    if (strName.empty()) return false;
    if (arOpen.empty()) {
      if (bRootSeen || strName != pszRoot) return false;
      bRootSeen = true;
    }
    if (bEmpty) {
      mapText[strName] = CString();
    } else {
      arOpen.emplace_back(strName, nNext);
    }
    i = nNext;
  }
  return bRootSeen && arOpen.empty();
}

bool CReportFile::Load(const CString& strPath,
                       const CArray<_SG_INIT_BODY, _SG_INIT_BODY>& arInitBody,
                       CReportModel& model) {
  std::string strOsPath;
  if (!platform::ToOsPath(strPath, strOsPath))
    return Fail("ファイル名が正しくありません: " + strPath);
  std::ifstream in(strOsPath, std::ios::binary);
  if (!in.is_open()) return Fail("ファイルを開けません: " + strPath);
  const std::string strXml((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return Fail("ファイルを読めません: " + strPath);
  if (!Parse(strXml, kRoot, m_mapText)) return Fail("中間ファイルではありません: " + strPath);

  const auto text = [this](const CString& strName) {
    const auto it = m_mapText.find(strName);
    return it == m_mapText.end() ? CString() : it->second;
  };
  model = CReportModel();
  model.m_bFromBooks = false;
  model.m_strJigyoName = text("KOMONSAKINAME");
  model.m_strSettings = strPath;
  SplitDate(text("JIGYOUNENDOFROM"), model.m_nStart);
  SplitDate(text("JIGYOUNENDOTO"), model.m_nEnd);
  for (int i = 1; i <= CFinGaiFigures::MONTHS; ++i) {
    const CString strRow = kMonthRow + TwoDigits(i);
    const CString strMonth = text(strRow);
    if (strMonth.empty()) break;
    double dMonth = 0.0;
    const int nMonth = std::atoi(strMonth.c_str());
    if (!ReadNumber(strMonth, dMonth) || nMonth < 1 || nMonth > 12) {
      BadValue(model, 0, 0, strRow + "の月「" + strMonth + "」は月の番号ではありません。");
    } else if (std::find(model.m_arMonth.begin(), model.m_arMonth.end(), nMonth) !=
               model.m_arMonth.end()) {
      BadValue(model, 0, nMonth, strRow + "の月 " + strMonth + " は二度目です。");
    }
    model.m_arMonth.push_back(nMonth);
  }
  if (!model.m_arMonth.empty()) {
    model.m_nFromMonth = model.m_arMonth.front();
    model.m_nToMonth = model.m_arMonth.back();
  }
  for (const _SG_INIT_BODY& body : arInitBody) {
    if (body.nGaiNo == 0) continue;
    CReportModel::Item item = CReportModel::DefinedItem(body);
    // A figure of 0 is written as an empty element.
    const auto figure = [&](const CString& strName) {
      const auto it = m_mapText.find(strName);
      double dValue = 0.0;
      if (it == m_mapText.end()) {
        BadValue(model, item.nNumber, 0, "項目" + std::to_string(item.nNumber) + "の" + strName +
                                             "がありません。");
      } else if (!it->second.empty() && !ReadNumber(it->second, dValue)) {
        BadValue(model, item.nNumber, 0,
                 "項目" + std::to_string(item.nNumber) + "の" + strName + "「" + it->second +
                     "」は数ではありません。0として読みました。");
      }
      return dValue;
    };
    if (item.bMonthly) {
      for (std::size_t i = 0; i < model.m_arMonth.size(); ++i) {
        item.arMonth.push_back(figure(item.strTag + TwoDigits(static_cast<int>(i) + 1)));
      }
    } else {
      item.dThousands = figure(item.strTag);
      item.dYen = item.dThousands * 1000.0;
    }
    model.m_arItem.push_back(item);
  }
  Check(arInitBody, model);
  return true;
}

void CReportFile::Check(const CArray<_SG_INIT_BODY, _SG_INIT_BODY>& arInitBody,
                        CReportModel& model) const {
  const CReportModel::Item* pTotals[3] = {};
  const short nCodes[3] = {CKaikei::CODE_SHISAN, CKaikei::CODE_HUSAI, CKaikei::CODE_SHIHON};
  for (const _SG_INIT_BODY& body : arInitBody) {
    const short nCode = CFinGaiSum::FormulaTotalAccount(body);
    for (int j = 0; j < 3; ++j) {
      if (nCode == nCodes[j] && !pTotals[j]) pTotals[j] = model.FindItem(body.nGaiNo);
    }
  }
  if (pTotals[0] && pTotals[1] && pTotals[2]) {
    const double dDiff = pTotals[0]->dThousands - pTotals[1]->dThousands - pTotals[2]->dThousands;
    if (std::fabs(dDiff) > kThousandsRounding) {
      model.m_arFinding.push_back(
          {"balance-sheet-unbalanced", CReportModel::Severity::Warning, pTotals[0]->nNumber, 0, 0,
           "項目" + std::to_string(pTotals[0]->nNumber) + "「" + pTotals[0]->strName + "」が項目" +
               std::to_string(pTotals[1]->nNumber) + "と項目" +
               std::to_string(pTotals[2]->nNumber) + "の和と" + report::Grouped(dDiff) +
               "千円異なります。",
           dDiff * 1000.0});
    }
  }
  const CArray<S_KANKAMOKU, S_KANKAMOKU> arNoAccounts;
  CFigureChecks(arInitBody, arNoAccounts).Run(model);
  const CReportModel::Item* pFirst = model.FindItem(1);
  for (const CReportModel::Item& item : model.m_arItem) {
    if (!item.bMonthly || pFirst == nullptr) continue;
    double dSum = 0.0;
    for (double dMonth : item.arMonth) dSum += dMonth;
    if (std::trunc(dSum / 1000) != pFirst->dThousands) {
      model.m_arFinding.push_back(
          {"monthly-sales-differ", CReportModel::Severity::Information, item.nNumber, 0, 0,
           "項目" + std::to_string(item.nNumber) + "「" + item.strName + "」の月別合計（" +
               report::Grouped(dSum) + "円）が項目1「" + pFirst->strName + "」（" +
               report::Grouped(pFirst->dThousands) + "千円）と異なります。",
           dSum - pFirst->dThousands * 1000.0});
    }
    break;
  }
}
