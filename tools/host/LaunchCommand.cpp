#include "LaunchCommand.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "Cp932.h"
#include "HostUsage.h"
#include "HostWindowListener.h"
#include "NamedGuard.h"

namespace {

// The component reads at most this many CP932 bytes of its command line.
constexpr std::size_t kMaxCmdLine = 259;
// Window numbers of this program start here; the process id keeps two hosts
// on one machine apart.
constexpr unsigned long kWindowBase = 0x10000;

bool ParseShort(const std::string& strText, short& nOut) {
  char* pEnd = nullptr;
  errno = 0;
  const long n = std::strtol(strText.c_str(), &pEnd, 10);
  if (strText.empty() || *pEnd != '\0' || errno != 0 || n < -32768 || n > 32767) return false;
  nOut = static_cast<short>(n);
  return true;
}

}  // namespace

int LaunchCommand::Run(const std::vector<std::string>& arArg) {
  if (!ParseArgs(arArg)) {
    std::cerr << "QT10.EXE launch: " << m_strError << "\n" << HostUsage::Text();
    return EXIT_ERROR;
  }
  const std::filesystem::path component = std::filesystem::path(m_strDir) / COMPONENT_NAME;
  if (access(component.c_str(), X_OK) != 0) {
    std::cerr << "QT10.EXE launch: " << component.string() << ": no component to start\n";
    return EXIT_ERROR;
  }

  // The host runs holding its guard; it lets go only while the component
  // runs, since the component refuses to start beside a running host.
  NamedGuard guard;
  if (!guard.Create(HOST_GUARD_NAME)) {
    std::cout << "note: another host program holds the host guard\n";
  }
  HostWindowListener listener;
  unsigned long nWindow = kWindowBase + static_cast<unsigned long>(::getpid());
  if (!listener.Open(nWindow)) {
    std::cerr << "QT10.EXE launch: cannot open the socket of host window " << nWindow << "\n";
    return EXIT_ERROR;
  }
  if (!BuildCommandLine(nWindow)) {
    std::cerr << "QT10.EXE launch: " << m_strError << "\n";
    return EXIT_ERROR;
  }
  std::cout << "host window " << nWindow << ", message " << RESULT_MESSAGE << ", function "
            << m_nFunction << "\n"
            << "starting " << component.string() << " " << m_strCmdLine << "\n";
  guard.Close();
  const bool bStarted = RunComponent(listener);
  guard.Create(HOST_GUARD_NAME);
  if (!bStarted) {
    std::cerr << "QT10.EXE launch: " << m_strError << "\n";
    return EXIT_ERROR;
  }
  return ReportOutcome();
}

int LaunchCommand::ReportOutcome() const {
  if (WIFSIGNALED(m_nChildStatus)) {
    std::cout << "the component was ended by signal " << WTERMSIG(m_nChildStatus) << "\n";
  } else if (WEXITSTATUS(m_nChildStatus) != 0) {
    std::cout << "the component exited with status " << WEXITSTATUS(m_nChildStatus) << "\n";
  }
  if (!m_bPosted) {
    std::cout << "result: error: the component posted no result\n";
    return EXIT_ERROR;
  }
  const char* pszOutcome = m_nResult == EXIT_COMPLETED   ? "completed"
                           : m_nResult == EXIT_CANCELLED ? "cancelled"
                           : m_nResult == EXIT_ERROR     ? "error"
                                                         : nullptr;
  if (!pszOutcome) {
    std::cout << "result: error: unknown result " << m_nResult << " (function " << m_nPostedFunction
              << ")\n";
    return EXIT_ERROR;
  }
  std::cout << "result: " << pszOutcome << " (function " << m_nPostedFunction << ")\n";
  if (m_nPostedFunction != m_nFunction) {
    std::cout << "note: the function number posted back is not the one launched (" << m_nFunction
              << ")\n";
  }
  return static_cast<int>(m_nResult);
}

bool LaunchCommand::ParseArgs(const std::vector<std::string>& arArg) {
  for (std::size_t i = 0; i < arArg.size(); ++i) {
    const std::string& a = arArg[i];
    const bool bValue = i + 1 < arArg.size();
    if (a == "--function" && bValue) {
      if (!ParseShort(arArg[++i], m_nFunction)) {
        m_strError = "--function takes a number from -32768 to 32767, not " + arArg[i];
        return false;
      }
    } else if (a == "--out" && bValue) {
      std::error_code ec;
      m_strOut = std::filesystem::absolute(arArg[++i], ec).lexically_normal().string();
    } else if (a.starts_with("--")) {
      m_strError = "unknown option or missing value: " + a;
      return false;
    } else if (m_strDir.empty()) {
      std::error_code ec;
      m_strDir = std::filesystem::absolute(a, ec).lexically_normal().string();
      while (m_strDir.size() > 1 && m_strDir.back() == '/') m_strDir.pop_back();
    } else {
      m_strError = "more than one installation given";
      return false;
    }
  }
  if (m_strDir.empty()) {
    m_strError = "no installation folder given";
    return false;
  }
  return true;
}

bool LaunchCommand::BuildCommandLine(unsigned long nWindow) {
  std::ostringstream line;
  line << nWindow << "," << RESULT_MESSAGE << "," << m_nFunction << "," << m_strOut;
  m_strCmdLine = line.str();
  // The component would refuse what it cannot read whole; say why here.
  std::string strCp932;
  if (!cp932::FromUtf8(m_strCmdLine, strCp932)) {
    m_strError = m_strOut + ": the output path has a character with no Shift_JIS (CP932) form";
    return false;
  }
  if (strCp932.size() > kMaxCmdLine) {
    m_strError = "the command line would be " + std::to_string(strCp932.size()) +
                 " bytes in CP932; the component reads at most " + std::to_string(kMaxCmdLine);
    return false;
  }
  return true;
}

bool LaunchCommand::RunComponent(HostWindowListener& listener) {
  std::cout.flush();
  const pid_t pid = ::fork();
  if (pid < 0) {
    m_strError = "cannot start the component";
    return false;
  }
  if (pid == 0) {
    // The component finds its installation from its program folder.
    ::unsetenv("QT10_PROGRAM_DIR");
    if (::chdir(m_strDir.c_str()) != 0) ::_exit(127);
    const std::string strExe = m_strDir + "/" + COMPONENT_NAME;
    char* arArgv[] = {const_cast<char*>(COMPONENT_NAME), m_strCmdLine.data(), nullptr};
    ::execv(strExe.c_str(), arArgv);
    ::_exit(127);
  }
  for (;;) {
    std::string strLine;
    if (listener.Receive(strLine, 100)) {
      Report(strLine);
      continue;
    }
    const pid_t done = ::waitpid(pid, &m_nChildStatus, WNOHANG);
    if (done == pid) break;
    if (done < 0 && errno != EINTR) {
      m_strError = "lost track of the component";
      return false;
    }
  }
  // Whatever the component sent before it ended is queued by now.
  std::string strLine;
  while (listener.Receive(strLine, 50)) Report(strLine);
  if (WIFEXITED(m_nChildStatus) && WEXITSTATUS(m_nChildStatus) == 127 && !m_bPosted) {
    m_strError = "cannot run " + m_strDir + "/" + COMPONENT_NAME;
    return false;
  }
  return true;
}

void LaunchCommand::Report(const std::string& strLine) {
  std::istringstream in(strLine);
  std::string strVerb;
  in >> strVerb;
  if (strVerb == "enable") {
    int nEnable = 0;
    in >> nEnable;
    std::cout << "component: EnableWindow(" << (nEnable ? "TRUE" : "FALSE") << ")\n";
  } else if (strVerb == "foreground") {
    std::cout << "component: SetForegroundWindow\n";
  } else if (strVerb == "post") {
    unsigned long nMessage = 0;
    long nWParam = 0;
    long nLParam = 0;
    in >> nMessage >> nWParam >> nLParam;
    std::cout << "component: PostMessage(message " << nMessage << ", wParam " << nWParam
              << ", lParam " << nLParam << ")\n";
    if (in && nMessage == RESULT_MESSAGE) {
      m_bPosted = true;
      m_nPostedFunction = nWParam;
      m_nResult = nLParam;
    }
  } else {
    std::cout << "component: " << strLine << "\n";
  }
  std::cout.flush();
}
