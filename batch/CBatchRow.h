#pragma once
// One data set's line of the batch summary, and its form on the way from a
// worker process back to the run. Texts are CP932.

#include <array>
#include <optional>
#include <string>

#include "WinTypes.h"

class CBatchRow {
 public:
  // NotRun: a data set of the installation outside the run, read only for
  // the names its books propose.
  enum class Status { Written, Skipped, Failed, NotRun };
  // The figures shown, in thousands of yen as the file has them: 売上高,
  // 営業損益, 税引前当期損益, 資産の部合計.
  static constexpr std::size_t FIGURE_COUNT = 4;

  CString m_strDataId;
  CString m_strName;  // business name
  CString m_strYear;  // fiscal year, first and last day
  CString m_strSpan;  // aggregation span, first and last month
  std::array<std::optional<long long>, FIGURE_COUNT> m_arFigure;
  CString m_strFile;      // file name in the output folder
  CString m_strProposed;  // the name the settings page proposes; empty when none
  std::optional<int> m_nWarnings;
  Status m_status = Status::Failed;
  CString m_strReason;  // why it was skipped or failed

  // "written", "skipped: REASON" or "failed: REASON".
  CString StatusText() const;

  // A byte string that Parse turns back into the same row.
  std::string Serialize() const;
  static bool Parse(const std::string& strBytes, CBatchRow& row);
};
