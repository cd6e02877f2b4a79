#include "WinMemory.h"

#include <fstream>
#include <limits>
#include <map>
#include <sstream>

namespace {

std::string& MemInfoPath() {
  static std::string path = "/proc/meminfo";
  return path;
}

// The "Name:  value kB" lines, in bytes.
bool ReadMemInfo(std::map<std::string, std::uint64_t>& values) {
  std::ifstream in(MemInfoPath());
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string name;
    std::uint64_t value = 0;
    std::string unit;
    if (!(fields >> name >> value) || name.empty() || name.back() != ':') continue;
    name.pop_back();
    const std::uint64_t scale = (fields >> unit && unit == "kB") ? 1024 : 1;
    values[name] = value * scale;
  }
  return true;
}

struct Figures {
  std::uint64_t total = 0;
  std::uint64_t available = 0;
  std::uint64_t swapTotal = 0;
  std::uint64_t swapFree = 0;
};

bool ReadFigures(Figures& f) {
  std::map<std::string, std::uint64_t> values;
  if (!ReadMemInfo(values)) return false;
  auto available = values.find("MemAvailable");
  if (available == values.end()) available = values.find("MemFree");
  if (available == values.end()) return false;
  f.available = available->second;
  f.total = values["MemTotal"];
  f.swapTotal = values["SwapTotal"];
  f.swapFree = values["SwapFree"];
  return true;
}

SIZE_T Clamp(std::uint64_t value) {
  return value > std::numeric_limits<SIZE_T>::max() ? std::numeric_limits<SIZE_T>::max()
                                                    : static_cast<SIZE_T>(value);
}

}  // namespace

void GlobalMemoryStatus(MEMORYSTATUS* status) {
  if (status == nullptr) return;
  *status = MEMORYSTATUS{};
  status->dwLength = sizeof(MEMORYSTATUS);
  Figures f;
  if (!ReadFigures(f)) return;
  status->dwTotalPhys = Clamp(f.total);
  status->dwAvailPhys = Clamp(f.available);
  status->dwTotalPageFile = Clamp(f.total + f.swapTotal);
  status->dwAvailPageFile = Clamp(f.available + f.swapFree);
  status->dwTotalVirtual = status->dwTotalPageFile;
  status->dwAvailVirtual = status->dwAvailPageFile;
  if (f.total > 0 && f.available <= f.total)
    status->dwMemoryLoad = static_cast<DWORD>(100 - f.available * 100 / f.total);
}

namespace platform {

bool GetAvailablePagingMemory(std::uint64_t& bytes) {
  bytes = 0;
  Figures f;
  if (!ReadFigures(f)) return false;
  bytes = f.available + f.swapFree;
  return true;
}

void SetMemInfoPath(const std::string& path) {
  MemInfoPath() = path.empty() ? "/proc/meminfo" : path;
}

}  // namespace platform
