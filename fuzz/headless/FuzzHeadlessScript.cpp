// Parses the input as a headless script. A refused script names its reason;
// an accepted one has its steps in line order, each from a line of the
// script.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "CHeadlessScript.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
  const std::string text(reinterpret_cast<const char*>(pData), nSize);
  CHeadlessScript script;
  CString strError;
  if (!script.Parse(text, strError)) {
    if (strError.empty()) {
      std::fprintf(stderr, "a refused script gives no reason\n");
      std::abort();
    }
    return 0;
  }
  int nLines = 1;
  for (char c : text) nLines += c == '\n';
  int nLast = 0;
  for (const ScriptStep& step : script.Steps()) {
    if (step.nLine <= nLast || step.nLine > nLines || step.strSource.empty()) {
      std::fprintf(stderr, "step of line %d is out of place\n", step.nLine);
      std::abort();
    }
    nLast = step.nLine;
  }
  return 0;
}
