#pragma once
// Runs the jobs of a batch in worker processes.
//
// The host objects hold one chosen data set each and the aggregation reaches
// them through process-wide pointers, the window utilities and the
// full-width mapping are process-wide too. Rather than make all of that
// per-thread, each worker is a process of its own, forked once after the
// start-up checks: it inherits what the run has set up (the libraries, the
// mapping's tables) and then takes jobs until none are left, each job choosing
// its own data set in the worker's own copy of the host objects. The jobs are
// handed out through one counter in shared memory, so a quick worker takes
// more; each result travels back on the worker's pipe and is kept under its
// job's index, so the results do not depend on the number of workers. A
// worker that dies loses only the job it was doing.

#include <csignal>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

class CBatchWorkers {
 public:
  // Runs in a worker: the result of job nIndex.
  using Job = std::function<std::string(std::size_t nIndex)>;
  // Runs in the calling process as each result arrives.
  using Arrived = std::function<void(std::size_t nIndex, const std::string& strResult)>;

  // Jobs 0 to nCount - 1 on nWorkers processes (at least one, at most one
  // per job); each result is handed to arrived and not kept. A job whose
  // worker ended before it answered is left false in arAnswered.
  // Once *pStop (set by a signal handler) is non-zero the workers are ended
  // and Run returns with the results it has. False, with nothing run, when
  // no worker could be started. The workers end at SIGINT and SIGTERM.
  static bool Run(std::size_t nCount, int nWorkers, const Job& job, const Arrived& arrived,
                  std::vector<bool>& arAnswered,
                  const volatile std::sig_atomic_t* pStop = nullptr);
};
