#pragma once
// One data set aggregated as a wizard run would aggregate it, in memory:
// its saved settings read only (the initial data's defaults when it has
// none), the span the wizard would take, the engine's items, and from them
// the report with its findings. Nothing is written unless WriteXml is
// asked for.

#include <memory>

#include "CFailure.h"
#include "CReportModel.h"
#include "SettingsRecords.h"
#include "WinTypes.h"
#include "tag_DATA.h"

class CFinGaiSum;
class CReportBooks;

class CReportRun {
 public:
  // The function number a run started by hand reports.
  inline static constexpr short FUNCTION_STANDALONE = 2;

  // books must have read the chosen data set (ReadBooks).
  explicit CReportRun(CReportBooks& books);
  ~CReportRun();
  CReportRun(const CReportRun&) = delete;
  CReportRun& operator=(const CReportRun&) = delete;

  // Loads the settings and aggregates; false with GetError().
  bool Run();
  // The report of the run, findings included.
  void BuildModel(CReportModel& model);
  // The report of the business's previous fiscal year when the installation
  // holds it (a data set of the same name whose year starts a year earlier);
  // false when there is none. Selects other data sets of books: call it
  // after the model of this run is built.
  static bool PreviousYear(CReportBooks& books, const CReportModel& model,
                           CReportModel& previous);
  // Writes the XML file a wizard run with these settings writes, to strPath
  // (CP932) instead of the saved output path.
  bool WriteXml(const CString& strPath, short nFunctionNo);

  const _SG_CONDITION& Condition() const { return m_cond; }
  const CArray<tag_DATA, tag_DATA>& Items() const;
  const CArray<_SG_INIT_BODY, _SG_INIT_BODY>& InitBodies() const { return m_arInitBody; }
  const CString& GetSettingsFile() const { return m_strSettings; }
  const CString& GetError() const { return m_strError; }

 private:
  // strError, then what the code below said failed, on one line.
  bool Fail(const CString& strError, const CFailure& cause = CFailure());
  void AddItems(CReportModel& model);
  // The contra asset balances no item takes, as the asset total adds them.
  double ContraLeftOut() const;

  CReportBooks& m_books;
  _SG_CONDITION m_cond{};
  CArray<_SG_MATCH, _SG_MATCH> m_arMatch;
  CArray<_SG_MATCH, _SG_MATCH> m_arDefaults;  // the initial data's match list
  CArray<_SG_INIT_BODY, _SG_INIT_BODY> m_arInitBody;
  std::unique_ptr<CFinGaiSum> m_pSum;
  CString m_strSettings;
  CString m_strError;
};
