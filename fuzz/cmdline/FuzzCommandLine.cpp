// Turns the input into program arguments (split at NUL bytes, as UTF-8) and
// reads the command line from them as a launch. A launch has three commas
// within the length limit, and its path is the text after the third comma;
// anything else sets no path.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ArgvText.h"
#include "CFinGaiApp.h"

namespace {

[[noreturn]] void Fail(const char* pszWhat) {
  std::fprintf(stderr, "%s\n", pszWhat);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
  std::vector<std::string> args{"QT10ToRX16_G"};
  std::string strArg;
  for (std::size_t i = 0; i < nSize; ++i) {
    if (pData[i] == 0) {
      args.push_back(strArg);
      strArg.clear();
    } else {
      strArg += static_cast<char>(pData[i]);
    }
  }
  args.push_back(strArg);
  std::vector<const char*> argv;
  for (const std::string& arg : args) argv.push_back(arg.c_str());

  CString strLine;
  if (!platform::CommandLineFromArgs(static_cast<int>(argv.size()), argv.data(), strLine)) return 0;

  CFinGaiApp app;
  const BOOL bLaunch = app.ParseCommandLine(strLine.c_str());
  std::size_t nThird = std::string::npos;
  for (int i = 0, nFrom = 0; i < 3; ++i, nFrom = static_cast<int>(nThird) + 1) {
    nThird = strLine.find(',', nFrom);
    if (nThird == std::string::npos) break;
  }
  const bool bExpected = nThird != std::string::npos &&
                         strLine.size() <= static_cast<std::size_t>(CFinGaiApp::CMDLINE_MAX);
  if (!!bLaunch != bExpected) Fail("a launch line is judged wrongly");
  const CString strPath = bExpected ? strLine.substr(nThird + 1) : CString();
  if (app.m_strLinkParam != strPath) Fail("the launch path is not the text after the third comma");
  return 0;
}
