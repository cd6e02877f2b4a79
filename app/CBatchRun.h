#pragma once
// The batch: every data set of the installation, or the ones named, written
// with its saved settings into one folder, with a summary.
//
//   --batch OUTDIR [--jobs N] [DATA_ID ...]
//
// It makes the start-up checks of a run by hand and holds the guards for its
// whole run, so no run by hand can change settings meanwhile. Each report
// goes to OUTDIR under the name the settings page proposes (data sets whose
// names meet get their data ID added), written beside its place and renamed
// into it. Nothing in the settings is created or changed. A data set that
// cannot be done is reported in its line of the summary and never stops the
// others.

#include <string>
#include <vector>

class CBatchRun {
 public:
  static constexpr int EXIT_WRITTEN = 0;     // every data set written
  static constexpr int EXIT_INCOMPLETE = 1;  // some skipped or failed
  static constexpr int EXIT_NOT_RUN = 2;     // nothing could run

  // arArg: the arguments after "--batch", UTF-8. False when they do not fit
  // the usage; the caller then shows it.
  bool Parse(const std::vector<std::string>& arArg);
  // The process exit code.
  int Run();

  std::string m_strOutDir;  // as given, UTF-8
  int m_nJobs = 0;          // 0: one per core
  std::vector<std::string> m_arDataId;
};
