#include "CReportRun.h"

#include <cstring>
#include <vector>

#include "CFigureChecks.h"
#include "CFinGaiFigures.h"
#include "CFinGaiSum.h"
#include "CFinGaiXML.h"
#include "CItemBreakdown.h"
#include "CKaikei.h"
#include "CReportBooks.h"
#include "CReportChecks.h"
#include "CSetGaiFile.h"
#include "CUtyFile.h"
#include "CHostObjects.h"
#include "KAMOKU_CLASS.h"
#include "ReportFormat.h"

using report::FieldText;

CReportRun::CReportRun(CReportBooks& books) : m_books(books) {}

CReportRun::~CReportRun() = default;

bool CReportRun::Fail(const CString& strError, const CFailure& cause) {
  m_strError = cause.OneLine(strError);
  return false;
}

const CArray<tag_DATA, tag_DATA>& CReportRun::Items() const { return m_pSum->m_arData; }

bool CReportRun::Run() {
  const BOOL bCoop = m_books.IsCooperative() ? TRUE : FALSE;
  CSetGaiFile files(nullptr, bCoop);
  files.SetHostRecords(m_books.Kanri(), m_books.Kanri2());
  if (bCoop) {
    // Read where the wizard keeps it; the folder is not created here.
    char szMemberEnv[MAX_PATH] = {};
    CUtyFile uty;
    if (uty.GetSpFolderPath(CUtyFile::SPFOLDER_KUMIAI, szMemberEnv, MAX_PATH)) {
      files.m_strMemberEnv = CString(szMemberEnv) + CSetGaiFile::MemberEnvFileName();
    }
  }
  const int bRead =
      files.ReadSettings(m_books.GetDataPath(), m_cond, m_arMatch, m_arInitBody, m_strSettings);
  // Files named without a folder are the installation's.
  if (!m_strSettings.starts_with('/')) {
    m_strSettings = m_books.GetProgramFolder() + "/" + m_strSettings;
  }
  if (!bRead) return Fail("設定を読めません: " + m_strSettings, files.GetFailure());
  CArray<_SG_INIT_BODY, _SG_INIT_BODY> arDefaultBody;
  if (!files.ReadInitFile(&m_arDefaults, arDefaultBody)) {
    return Fail(CString("初期データを読めません: ") + m_books.GetProgramFolder() + "/" +
                    CSetGaiFile::InitFileName(bCoop),
                files.GetFailure());
  }

  // The span the wizard's first page takes: from the fiscal year's first
  // month period to the saved last one, or the year's last without one.
  const S_KANRI& kanri = m_books.Kanri();
  m_cond.nKikanFrom = g_pKaikei->GatudoGet(kanri.nStartMonth, kanri.nStartDay);
  if (m_cond.nKikanTo == 0) m_cond.nKikanTo = g_pKaikei->GatudoGet(kanri.nEndMonth, kanri.nEndDay);
  if (m_cond.nKikanFrom < 1 || m_cond.nKikanFrom > 12 || m_cond.nKikanTo < 1 ||
      m_cond.nKikanTo > 12) {
    return Fail("集計期間が正しくありません: " + m_strSettings);
  }

  m_pSum = std::make_unique<CFinGaiSum>(nullptr);
  if (!m_pSum->Init(m_cond, &m_books.Kamoku(), &m_arMatch, &m_arInitBody, FUNCTION_STANDALONE) ||
      !m_pSum->SumAccounts()) {
    return Fail("科目残高を集計できません: " + m_books.GetDataPath(), m_pSum->GetFailure());
  }
  return true;
}

bool CReportRun::PreviousYear(CReportBooks& books, const CReportModel& model,
                              CReportModel& previous) {
  std::vector<LEDGER_DATASET> arRows;
  if (!books.ListDataSets(arRows)) return false;
  for (std::size_t i = 0; i < arRows.size(); ++i) {
    if (FieldText(arRows[i].szName) != model.m_strJigyoName) continue;
    if (!books.SelectIndex(static_cast<short>(i)) || !books.ReadBooks()) continue;
    const S_KANRI& kanri = books.Kanri();
    if (kanri.nStartYear + 1 != model.m_nStart[0] || kanri.nStartMonth != model.m_nStart[1] ||
        kanri.nStartDay != model.m_nStart[2]) {
      continue;
    }
    CReportRun run(books);
    if (!run.Run()) continue;
    run.BuildModel(previous);
    return true;
  }
  return false;
}

bool CReportRun::WriteXml(const CString& strPath, short nFunctionNo) {
  _SG_CONDITION cond = m_cond;
  if (strPath.size() >= sizeof cond.szOutPath) return Fail("出力先のパスが長すぎます: " + strPath);
  std::memset(cond.szOutPath, 0, sizeof cond.szOutPath);
  std::memcpy(cond.szOutPath, strPath.data(), strPath.size());
  CFinGaiXML xml(nullptr);
  if (!xml.Write(cond, m_pSum->m_arData, nFunctionNo)) {
    return Fail("出力できません: " + strPath, xml.GetFailure());
  }
  return true;
}

void CReportRun::BuildModel(CReportModel& model) {
  model = CReportModel();
  const S_KANRI& kanri = m_books.Kanri();
  model.m_strDataID = FieldText(m_cond.szDataId);
  model.m_strJigyoName = FieldText(kanri.szJigyoName);
  model.m_nStart[0] = kanri.nStartYear;
  model.m_nStart[1] = kanri.nStartMonth;
  model.m_nStart[2] = kanri.nStartDay;
  model.m_nEnd[0] = kanri.nEndYear;
  model.m_nEnd[1] = kanri.nEndMonth;
  model.m_nEnd[2] = kanri.nEndDay;
  model.m_nFromMonth = m_cond.nKikanFrom;
  model.m_nToMonth = m_cond.nKikanTo;
  model.m_strSettings = m_strSettings;
  const int nSpan = (m_cond.nKikanTo - m_cond.nKikanFrom + 12) % 12 + 1;
  for (int i = 0; i < nSpan; ++i) model.m_arMonth.push_back(CFinGaiFigures::MonthOfRow(m_cond, i));
  AddItems(model);
  CItemBreakdown::Fill(model, m_arInitBody, ContraLeftOut());
  CReportChecks checks(m_books.Kamoku(), m_arMatch, m_arDefaults, m_arInitBody, *m_pSum);
  checks.Run(model);
  CFigureChecks figures(m_arInitBody, m_books.Kamoku());
  figures.Run(model);
}

double CReportRun::ContraLeftOut() const {
  // Asset accounts kept on the credit side that no account-mapped item takes.
  double dContra = 0.0;
  for (const S_KANKAMOKU& kamoku : m_books.Kamoku()) {
    if (kamoku.byClass != KAMOKU_CLASS_ASSETS || kamoku.byTaisyaku == KAMOKU_KARIKATA) continue;
    bool bMapped = false;
    for (const _SG_MATCH& match : m_arMatch) {
      for (const _SG_INIT_BODY& body : m_arInitBody) {
        bMapped = bMapped || (match.nBokiCode == kamoku.nKamokuCode && match.nGaiNo != 0 &&
                              body.nGaiNo == match.nGaiNo && CFinGaiSum::IsAccountItem(body));
      }
    }
    if (bMapped) continue;
    _SG_MATCH match{};
    match.nBokiCode = kamoku.nKamokuCode;
    match.nTaisyaku = kamoku.byTaisyaku;
    tag_DATA one{};
    m_pSum->AddAccount(match, one, KAMOKU_KARIKATA);
    dContra += CFinGaiFigures::Total(one);
  }
  return dContra;
}

void CReportRun::AddItems(CReportModel& model) {
  const CArray<tag_DATA, tag_DATA>& arData = m_pSum->m_arData;
  CFinGaiFigures figures;
  figures.Compute(arData);
  std::vector<const CFinGaiFigures::MainFigure*> arMainOf(arData.size(), nullptr);
  for (const CFinGaiFigures::MainFigure& main : figures.m_arMain) arMainOf[main.nIndex] = &main;
  for (std::size_t i = 0; i < arData.size() && i < m_arInitBody.size(); ++i) {
    const _SG_INIT_BODY& body = m_arInitBody[i];
    // The sentinel that ends the definitions.
    if (body.nGaiNo == 0) continue;
    CReportModel::Item item = CReportModel::DefinedItem(body);
    if (arMainOf[i] != nullptr) {
      item.dThousands = arMainOf[i]->dThousands;
      item.dYen = CFinGaiFigures::Total(arData[i]);
    }
    item.bMapped = CFinGaiSum::IsAccountItem(body);
    if (item.bMonthly) {
      double dMonth[CFinGaiFigures::MONTHS];
      CFinGaiFigures::Months(arData[i], dMonth);
      item.arMonth.assign(dMonth, dMonth + model.m_arMonth.size());
    }
    if (item.bMapped) {
      for (const _SG_MATCH& match : m_arMatch) {
        if (match.nGaiNo != body.nGaiNo) continue;
        tag_DATA one{};
        m_pSum->AddAccount(match, one, body.nTaisyaku);
        CReportModel::Account account;
        account.nCode = match.nBokiCode;
        for (const S_KANKAMOKU& kamoku : m_books.Kamoku()) {
          if (kamoku.nKamokuCode == match.nBokiCode) {
            account.strName = FieldText(kamoku.szKamokuName);
            account.bContra = kamoku.byTaisyaku != body.nTaisyaku;
          }
        }
        account.dAmount = CFinGaiFigures::Total(one);
        item.arAccount.push_back(account);
      }
    }
    model.m_arItem.push_back(item);
  }
}
