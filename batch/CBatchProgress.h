#pragma once
// Progress of a batch on standard error: on a terminal a bar redrawn in
// place (data sets done of all, time elapsed, time still to go); elsewhere,
// say in a log, one plain line per data set finished.

#include <cstddef>
#include <cstdio>
#include <string>

#include "CBatchRow.h"

class CBatchProgress {
 public:
  CBatchProgress(std::FILE* pOut, bool bBar, std::size_t nTotal);

  // A data set is done; dElapsed is the seconds since the batch began.
  void Done(const CBatchRow& row, double dElapsed);
  // Ends the bar's line.
  void Finish();

  // The line for nDone of the total, UTF-8, without line end.
  std::string BarLine(std::size_t nDone, double dElapsed) const;
  std::string PlainLine(const CBatchRow& row, std::size_t nDone, double dElapsed) const;
  // "m:ss", or "h:mm:ss" from an hour on.
  static std::string Clock(double dSeconds);

 private:
  std::string Times(std::size_t nDone, double dElapsed) const;

  std::FILE* m_pOut;
  bool m_bBar;
  std::size_t m_nTotal;
  std::size_t m_nDone = 0;
};
