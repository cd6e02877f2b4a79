#pragma once
// The folder a batch writes into: its temporary files, the files put in
// place under their names, the summary.
//
// Every temporary file of a run is hidden and carries the run's process ID,
// ".QT10ToRX16_G-PID-...", also the ones the file writer makes beside them
// ("..QT10ToRX16_G-PID-..."), so a later run can tell the leftovers of a run
// that has ended from the files of one that is running.

#include <sys/types.h>

#include <csignal>
#include <string>
#include <vector>

#include "CBatchRow.h"
#include "WinTypes.h"

class CBatchOutDir {
 public:
  // strOutDir: absolute, CP932, without a trailing "/"; strOsOutDir its
  // file-system form.
  CBatchOutDir(const CString& strOutDir, const std::string& strOsOutDir);

  const CString& Path() const { return m_strOutDir; }
  // Made when missing, and a file can be made in it. False after a message.
  bool Prepare() const;
  // Removes the temporary files of batches whose process has ended: a run
  // that was killed cannot remove its own.
  void RemoveLeftoversOfEndedRuns() const;
  // Removes this run's temporary files.
  void RemoveOwnTemporaryFiles() const;

  // The temporary file of job nJob, CP932.
  CString TempPath(std::size_t nJob) const;
  // Removes the temporary file of job nJob.
  void RemoveTemp(std::size_t nJob) const;
  // Puts the file of each written row (row i written by job arJob[i]) under
  // arName[i]; a file that cannot be put in place fails its row. Stops
  // when *pStop is set: the rows not yet placed fail as interrupted.
  void PlaceFiles(std::vector<CBatchRow>& arRow, const std::vector<std::size_t>& arJob,
                  const std::vector<CString>& arName,
                  const volatile std::sig_atomic_t* pStop) const;

  // The summary of an earlier batch; empty when there is none.
  std::string ReadSummary() const;
  // Replaces the summary. When it cannot be written, the earlier one is
  // removed, so that no summary tells of files this run did not write.
  // False after a message.
  bool WriteSummary(const std::string& strBytes) const;

 private:
  // Removes the temporary files of the runs for which bRemove(PID) is true.
  template <class Pred>
  void RemoveTemporaryFiles(Pred bRemove) const;
  std::string OsPath(const CString& strPath) const;

  CString m_strOutDir;
  std::string m_strOsOutDir;
  pid_t m_nPid;
};
