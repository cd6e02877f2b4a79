#pragma once
// The batch: every data set of the installation, or the ones named, written
// with its saved settings into one folder, with a summary.
//
//   --batch OUTDIR [--jobs N] [--summary-encoding utf-8|cp932] [DATASET ...]
//
// DATASET is a data ID or a data-set number as the host lists it; where an
// argument is the data ID of one data set and the number of another, the
// data ID counts. The program's start-up checks run first and its guards are
// held for the whole run, so no run by hand can change settings meanwhile.
// Each report goes to OUTDIR under the name the settings page proposes (with
// the data ID added where that name is not the data set's own, see
// AssignOutputNames), written beside its place and renamed into it. Nothing
// in the settings is created or changed. A data set that cannot be done is
// reported in its line of the summary and never stops the others.
//
// The cost of a data set does not grow with the installation: the
// management database is listed once, and every worker reads the data sets
// of the list in turn, each once. The data sets outside the run are read
// for their names only, after the first results have come.

#include <string>
#include <vector>

#include "CBatchSummary.h"

class CBatchRun {
 public:
  // Written, and skipped only for being an individual business's books.
  static constexpr int EXIT_WRITTEN = 0;
  static constexpr int EXIT_INCOMPLETE = 1;  // some failed, or interrupted
  static constexpr int EXIT_NOT_RUN = 2;     // nothing could run

  // arArg: the arguments after "--batch", UTF-8. False, after a message
  // that says what is wrong, when they do not fit the usage; the caller
  // then shows it.
  bool Parse(const std::vector<std::string>& arArg);
  // The process exit code.
  int Run();

  std::string m_strOutDir;  // as given, UTF-8
  int m_nJobs = 0;          // 0: one per core
  CBatchSummary::Encoding m_summaryEncoding = CBatchSummary::Encoding::Utf8;
  std::vector<std::string> m_arDataSet;  // data IDs or data-set numbers
};
