#include "CReportBooks.h"

#include "CJetAccess.h"

CReportBooks::CReportBooks(StartUpUse use) : m_startUp(use) {}

bool CReportBooks::Fail(const CString& strError) {
  m_strError = strError;
  return false;
}

bool CReportBooks::Open() {
  if (!m_startUp.Start()) return Fail(m_startUp.Failure().Line());
  return true;
}

bool CReportBooks::ListDataSets(std::vector<LEDGER_DATASET>& arRows) {
  arRows.clear();
  short nCount = 0;
  if (!m_startUp.IsBooksOpen() || Jet().GetDataSetCount(&nCount) != 0) {
    return Fail("管理DBファイルのデータ一覧を読めません。");
  }
  for (short i = 0; i < nCount; ++i) {
    LEDGER_DATASET row{};
    if (Jet().GetDataSetInfo(i, &row) != 0) {
      return Fail("管理DBファイルのデータ一覧を読めません。");
    }
    arRows.push_back(row);
  }
  return true;
}

bool CReportBooks::SelectIndex(short nIndex) {
  if (!m_startUp.IsBooksOpen() || Jet().SelectDataSet(nIndex) != 0) {
    return Fail("データを選択できません。");
  }
  m_strDataPath = Jet().GetSelectedDataPath();
  return true;
}

bool CReportBooks::SelectDataID(const CString& strDataID) {
  if (!m_startUp.IsBooksOpen() || Jet().SelectDataID(strDataID.c_str()) != 0) {
    return Fail("データID " + strDataID + " のデータがないか、その帳簿を読めません。");
  }
  m_strDataPath = Jet().GetSelectedDataPath();
  return true;
}

bool CReportBooks::ReadRecords() {
  m_arKamoku.clear();
  // Nothing of the data set read before stays when these books cannot be read.
  m_kanri = S_KANRI{};
  m_kanri2 = S_KANRI2{};
  if (Jet().ReadKanri(&m_kanri) != 0 || Jet().ReadKanri2(&m_kanri2) != 0) {
    switch (Jet().GetReadFault()) {
      case CJetAccess::READ_FAULT_IN_USE:
        return Fail("帳簿が他のプログラムで使用中のため読めません: " + Jet().GetBooksFile());
      case CJetAccess::READ_FAULT_DAMAGED:
        return Fail("帳簿ファイルが壊れています: " + Jet().GetBooksFile());
      case CJetAccess::READ_FAULT_MISSING:
        return Fail("帳簿ファイルがありません: " + Jet().GetBooksFile());
      default:
        return Fail("管理ﾌｧｲﾙの読み込みに失敗しました: " + m_strDataPath);
    }
  }
  return true;
}

bool CReportBooks::ReadBooks() { return ReadRecords() && ReadAccounts(); }

bool CReportBooks::ReadAccounts() {
  m_arKamoku.clear();
  if (m_kanri.nKeiei == KEIEI_KOJIN) {
    return Fail(CString(IsCooperative() ? "組合員" : "データ") +
                "の経営形態が個人のため、事業概況書は作成できません: " + m_kanri.szJigyoName);
  }
  short nCount = 0;
  if (Jet().GetKanKamokuCount(&nCount) != 0 || nCount < 0) {
    return Fail("勘定科目数の取得に失敗しました: " + m_strDataPath);
  }
  m_arKamoku.resize(static_cast<std::size_t>(nCount));
  short nRead = 0;
  if (Jet().ReadKanKamoku(m_arKamoku.data(), 0, nCount, &nRead, 0) != 0) {
    m_arKamoku.clear();
    return Fail("勘定科目の読み込みに失敗しました: " + m_strDataPath);
  }
  m_arKamoku.resize(static_cast<std::size_t>(nRead));
  return true;
}
