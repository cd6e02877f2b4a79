#pragma once
// The memory status the start-up check asks for. The paging file that
// Windows reports is, here, what the kernel says could still be handed out:
// MemAvailable + SwapFree of /proc/meminfo, so a machine without swap passes
// on its free memory alone.

#include <cstddef>
#include <cstdint>
#include <string>

#include "WinTypes.h"

using SIZE_T = std::size_t;

struct MEMORYSTATUS {
  DWORD dwLength;
  DWORD dwMemoryLoad;
  SIZE_T dwTotalPhys;
  SIZE_T dwAvailPhys;
  SIZE_T dwTotalPageFile;
  SIZE_T dwAvailPageFile;
  SIZE_T dwTotalVirtual;
  SIZE_T dwAvailVirtual;
};

// Fills every field in bytes (virtual space is not limited here: total and
// available virtual are those of the paging figures). When the figures cannot
// be read every size is 0, so a memory check refuses rather than passes blind.
void GlobalMemoryStatus(MEMORYSTATUS* status);

namespace platform {

// MemAvailable + SwapFree in bytes (MemFree stands in on kernels that lack
// MemAvailable); false when the source cannot be read or names neither.
bool GetAvailablePagingMemory(std::uint64_t& bytes);

// Reads the figures from another file in /proc/meminfo form; an empty path
// returns to /proc/meminfo.
void SetMemInfoPath(const std::string& path);

}  // namespace platform
