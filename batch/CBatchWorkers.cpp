#include "CBatchWorkers.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <new>
#include <vector>

namespace {

using Counter = std::atomic<std::uint64_t>;
static_assert(Counter::is_always_lock_free, "the job counter is shared between processes");

// A result on the pipe: job index and length (8 bytes each), then the bytes.
constexpr std::size_t kHeader = 16;

bool WriteAll(int nFd, const char* p, std::size_t n) {
  while (n > 0) {
    const ssize_t nWritten = ::write(nFd, p, n);
    if (nWritten < 0 && errno == EINTR) continue;
    if (nWritten <= 0) return false;
    p += nWritten;
    n -= static_cast<std::size_t>(nWritten);
  }
  return true;
}

[[noreturn]] void WorkerMain(int nFd, Counter& next, std::size_t nCount, pid_t nParent,
                             const CBatchWorkers::Job& job) {
  // An interruption ends a worker at once; the run cleans up after it.
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  // A worker goes with the run even when the run is killed: it holds the
  // run's guards, and the next run must find them free.
  if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || ::getppid() != nParent) ::_exit(0);
  for (;;) {
    const std::uint64_t nIndex = next.fetch_add(1);
    if (nIndex >= nCount) break;
    std::string strResult;
    try {
      strResult = job(static_cast<std::size_t>(nIndex));
    } catch (...) {
      continue;  // no answer: the job counts as failed, the others go on
    }
    char header[kHeader];
    const std::uint64_t nLength = strResult.size();
    std::memcpy(header, &nIndex, 8);
    std::memcpy(header + 8, &nLength, 8);
    if (!WriteAll(nFd, header, kHeader) || !WriteAll(nFd, strResult.data(), strResult.size()))
      break;
  }
  std::fflush(nullptr);
  // Leave without the exit handlers and destructors: they belong to the
  // process that started the batch.
  ::_exit(0);
}

struct Worker {
  pid_t nPid = -1;
  int nFd = -1;
  std::string strBuffer;
};

// Takes every complete result off the front of the buffer.
void TakeResults(std::string& strBuffer, std::size_t nCount, const CBatchWorkers::Arrived& arrived,
                 std::vector<bool>& arAnswered) {
  std::size_t nPos = 0;
  while (strBuffer.size() - nPos >= kHeader) {
    std::uint64_t nIndex, nLength;
    std::memcpy(&nIndex, strBuffer.data() + nPos, 8);
    std::memcpy(&nLength, strBuffer.data() + nPos + 8, 8);
    if (strBuffer.size() - nPos - kHeader < nLength) break;
    std::string strResult = strBuffer.substr(nPos + kHeader, nLength);
    nPos += kHeader + nLength;
    if (nIndex >= nCount || arAnswered[nIndex]) continue;
    arAnswered[nIndex] = true;
    if (arrived) arrived(static_cast<std::size_t>(nIndex), strResult);
  }
  strBuffer.erase(0, nPos);
}

// Forks up to nWorkers workers over the shared job counter; the ones that
// started.
std::vector<Worker> StartWorkers(int nWorkers, Counter& next, std::size_t nCount,
                                 const CBatchWorkers::Job& job) {
  // Buffered output would otherwise be written once more by every worker.
  std::fflush(nullptr);
  std::vector<Worker> arWorker;
  const pid_t nParent = ::getpid();
  for (int i = 0; i < nWorkers; ++i) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) break;
    const pid_t nPid = ::fork();
    if (nPid == 0) {
      ::close(fds[0]);
      for (const auto& worker : arWorker) ::close(worker.nFd);
      WorkerMain(fds[1], next, nCount, nParent, job);
    }
    ::close(fds[1]);
    if (nPid < 0) {
      ::close(fds[0]);
      break;
    }
    arWorker.push_back({nPid, fds[0], {}});
  }
  return arWorker;
}

// Reads what the workers write until every pipe is closed or the run is
// stopped.
void CollectResults(std::vector<Worker>& arWorker, std::size_t nCount,
                    const CBatchWorkers::Arrived& arrived, std::vector<bool>& arAnswered,
                    const std::function<bool()>& stopped) {
  std::size_t nOpen = arWorker.size();
  while (nOpen > 0 && !stopped()) {
    std::vector<pollfd> arPoll;
    std::vector<Worker*> arPolled;
    for (auto& worker : arWorker) {
      if (worker.nFd < 0) continue;
      arPoll.push_back({worker.nFd, POLLIN, 0});
      arPolled.push_back(&worker);
    }
    // A signal that comes just before poll is seen within its timeout.
    if (::poll(arPoll.data(), arPoll.size(), 200) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    for (std::size_t i = 0; i < arPoll.size(); ++i) {
      if (arPoll[i].revents == 0) continue;
      Worker& worker = *arPolled[i];
      char buffer[65536];
      const ssize_t nRead = ::read(worker.nFd, buffer, sizeof buffer);
      if (nRead < 0 && errno == EINTR) continue;
      if (nRead > 0) {
        worker.strBuffer.append(buffer, static_cast<std::size_t>(nRead));
        TakeResults(worker.strBuffer, nCount, arrived, arAnswered);
        continue;
      }
      ::close(worker.nFd);
      worker.nFd = -1;
      --nOpen;
    }
  }
}

}  // namespace

bool CBatchWorkers::Run(std::size_t nCount, int nWorkers, const Job& job, const Arrived& arrived,
                        std::vector<bool>& arAnswered, const volatile std::sig_atomic_t* pStop) {
  const std::function<bool()> stopped = [pStop] { return pStop != nullptr && *pStop != 0; };
  arAnswered.assign(nCount, false);
  if (nCount == 0) return true;
  if (nWorkers < 1) nWorkers = 1;
  if (static_cast<std::size_t>(nWorkers) > nCount) nWorkers = static_cast<int>(nCount);

  void* pShared =
      ::mmap(nullptr, sizeof(Counter), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  if (pShared == MAP_FAILED) return false;
  Counter* pNext = new (pShared) Counter(0);

  std::vector<Worker> arWorker = StartWorkers(nWorkers, *pNext, nCount, job);
  CollectResults(arWorker, nCount, arrived, arAnswered, stopped);
  for (auto& worker : arWorker) {
    if (stopped()) ::kill(worker.nPid, SIGTERM);
    if (worker.nFd >= 0) ::close(worker.nFd);
    while (::waitpid(worker.nPid, nullptr, 0) < 0 && errno == EINTR) {
    }
  }
  pNext->~Counter();
  ::munmap(pShared, sizeof(Counter));
  return !arWorker.empty();
}
