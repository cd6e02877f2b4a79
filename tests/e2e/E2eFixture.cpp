#include "E2eFixture.h"

#include <fcntl.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Cp932.h"

namespace e2e {

namespace fs = std::filesystem;

namespace {

// <chrono> cannot be compiled to CP932 (it holds a micro sign), so plain time.
constexpr std::time_t kTimeoutSeconds = 120;

// Undoes the transcript's escapes.
std::string Unescape(const std::string& strField) {
  std::string out;
  for (std::size_t i = 0; i < strField.size(); ++i) {
    if (strField[i] == '\\' && i + 1 < strField.size()) {
      const char c = strField[++i];
      out += c == 'n' ? '\n' : c == 't' ? '\t' : c;
    } else {
      out += strField[i];
    }
  }
  return out;
}

void Walk(xmlNode* pNode, XmlReport& report) {
  for (; pNode; pNode = pNode->next) {
    if (pNode->type != XML_ELEMENT_NODE) continue;
    const std::string strName = reinterpret_cast<const char*>(pNode->name);
    report.arElement.push_back(strName);
    bool bLeaf = true;
    for (xmlNode* pChild = pNode->children; pChild; pChild = pChild->next) {
      if (pChild->type == XML_ELEMENT_NODE) bLeaf = false;
    }
    if (bLeaf && !report.mapValue.count(strName)) {
      xmlChar* pText = xmlNodeGetContent(pNode);
      report.mapValue[strName] = pText ? reinterpret_cast<const char*>(pText) : "";
      xmlFree(pText);
    }
    Walk(pNode->children, report);
  }
}

}  // namespace

RunResult RunProgram(const std::vector<std::string>& arArgv, const std::string& strCwd,
                     long long nFileSizeLimit) {
  RunResult result;
  char szOut[] = "/tmp/rx16-e2e-out-XXXXXX";
  const int nOut = ::mkstemp(szOut);
  if (nOut < 0) return result;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(nOut, 1);
    ::dup2(nOut, 2);
    if (::chdir(strCwd.c_str()) != 0) ::_exit(126);
    if (nFileSizeLimit >= 0) {
      // A write past the limit then fails with EFBIG instead of killing.
      ::signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{static_cast<rlim_t>(nFileSizeLimit), static_cast<rlim_t>(nFileSizeLimit)};
      if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(125);
    }
    std::vector<char*> argv;
    for (const auto& a : arArgv) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(nOut);
  timespec start{};
  ::clock_gettime(CLOCK_MONOTONIC, &start);
  int nStatus = 0;
  for (;;) {
    const pid_t done = ::waitpid(pid, &nStatus, WNOHANG);
    if (done == pid) {
      result.nExit = WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : 128 + WTERMSIG(nStatus);
      break;
    }
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    if (done < 0 || now.tv_sec - start.tv_sec > kTimeoutSeconds) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &nStatus, 0);
      result.nExit = -2;
      break;
    }
    const timespec pause{0, 10'000'000};
    ::nanosleep(&pause, nullptr);
  }
  result.strOutput = ReadFile(szOut);
  ::unlink(szOut);
  return result;
}

std::string ReadFile(const std::string& strPath) {
  std::ifstream in(strPath, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string ReadCp932File(const std::string& strPath) {
  std::string strUtf8;
  if (!cp932::ToUtf8(ReadFile(strPath), strUtf8)) return "";
  return strUtf8;
}

long XmlReport::Figure(const std::string& strTag) const {
  const auto it = mapValue.find(strTag);
  if (it == mapValue.end() || it->second.empty()) return 0;
  return std::strtol(it->second.c_str(), nullptr, 10);
}

XmlReport ReadXml(const std::string& strPath) {
  XmlReport report;
  const std::string strRaw = ReadFile(strPath);
  const std::size_t nEnd = strRaw.find("?>");
  const std::size_t nEnc = strRaw.find("encoding=\"");
  if (nEnd != std::string::npos && nEnc < nEnd) {
    report.strDeclaredEncoding = strRaw.substr(nEnc + 10, strRaw.find('"', nEnc + 10) - nEnc - 10);
  }
  std::string strUtf8;
  if (!cp932::ToUtf8(strRaw, strUtf8)) return report;
  xmlDoc* pDoc = xmlReadMemory(strUtf8.data(), static_cast<int>(strUtf8.size()), strPath.c_str(),
                               "UTF-8", XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  if (!pDoc) return report;
  xmlNode* pRoot = xmlDocGetRootElement(pDoc);
  if (pRoot) {
    report.bParsed = true;
    report.strRoot = reinterpret_cast<const char*>(pRoot->name);
    Walk(pRoot->children, report);
  }
  xmlFreeDoc(pDoc);
  return report;
}

E2e::E2e() {
  std::string strPattern = (fs::temp_directory_path() / "rx16-e2e-XXXXXX").string();
  m_strRoot = ::mkdtemp(strPattern.data());
  for (const char* pszDir : {"run", "home", "config", "documents", "data", "cache", "tmp"}) {
    fs::create_directories(Dir(pszDir));
  }
  ::chmod(Dir("run").c_str(), 0700);
  SetEnv("XDG_RUNTIME_DIR", Dir("run"));
  SetEnv("HOME", Dir("home"));
  SetEnv("XDG_CONFIG_HOME", Dir("config"));
  SetEnv("XDG_DOCUMENTS_DIR", Dir("documents"));
  SetEnv("XDG_DATA_HOME", Dir("data"));
  SetEnv("XDG_CACHE_HOME", Dir("cache"));
  SetEnv("TMPDIR", Dir("tmp"));
  SetEnv("RX16_UI", "headless");
  SetEnv("RX16_UI_SCRIPT", std::nullopt);
  SetEnv("RX16_UI_TRANSCRIPT", Dir("transcript.txt"));
  SetEnv("QT10_PROGRAM_DIR", std::nullopt);
}

E2e::~E2e() {
  for (auto it = m_arSavedEnv.rbegin(); it != m_arSavedEnv.rend(); ++it) {
    if (it->second)
      ::setenv(it->first.c_str(), it->second->c_str(), 1);
    else
      ::unsetenv(it->first.c_str());
  }
  std::error_code ec;
  fs::remove_all(m_strRoot, ec);
}

void E2e::SetEnv(const std::string& strName, const std::optional<std::string>& strValue) {
  const char* pszOld = std::getenv(strName.c_str());
  m_arSavedEnv.emplace_back(strName, pszOld ? std::optional<std::string>(pszOld) : std::nullopt);
  if (strValue)
    ::setenv(strName.c_str(), strValue->c_str(), 1);
  else
    ::unsetenv(strName.c_str());
}

void E2e::Install(bool bCooperative) {
  std::vector<std::string> arArg = {RX16_HOST_EXE, "init", ProgramDir(), "--component",
                                    RX16_COMPONENT_EXE};
  if (bCooperative) {
    arArg.push_back("--edition");
    arArg.push_back("cooperative");
  }
  const RunResult r = RunProgram(arArg, m_strRoot);
  ASSERT_EQ(r.nExit, 0) << r.strOutput;
}

void E2e::Script(const std::vector<std::string>& arStep) {
  std::ofstream out(Dir("script.txt"), std::ios::binary | std::ios::trunc);
  for (const auto& s : arStep) out << s << "\n";
  SetEnv("RX16_UI_SCRIPT", Dir("script.txt"));
}

RunResult E2e::RunComponent(const std::vector<std::string>& arArg) {
  std::vector<std::string> arArgv = {ProgramDir() + "/QT10ToRX16_G"};
  arArgv.insert(arArgv.end(), arArg.begin(), arArg.end());
  return RunProgram(arArgv, m_strRoot, m_nFileSizeLimit);
}

RunResult E2e::Launch(const std::vector<std::string>& arArg) {
  std::vector<std::string> arArgv = {ProgramDir() + "/QT10.EXE", "launch", ProgramDir()};
  arArgv.insert(arArgv.end(), arArg.begin(), arArg.end());
  return RunProgram(arArgv, m_strRoot, m_nFileSizeLimit);
}

RunResult E2e::Host(const std::vector<std::string>& arArg) {
  std::vector<std::string> arArgv = {RX16_HOST_EXE};
  arArgv.insert(arArgv.end(), arArg.begin(), arArg.end());
  return RunProgram(arArgv, m_strRoot);
}

std::vector<Event> E2e::Transcript(bool bWithFocus) const {
  std::vector<Event> arEvent;
  std::istringstream in(ReadFile(Dir("transcript.txt")));
  std::string strLine;
  while (std::getline(in, strLine)) {
    Event event;
    std::size_t nStart = 0;
    for (;;) {
      const std::size_t nTab = strLine.find('\t', nStart);
      event.push_back(Unescape(strLine.substr(nStart, nTab - nStart)));
      if (nTab == std::string::npos) break;
      nStart = nTab + 1;
    }
    if (!bWithFocus && event[0] == "focus") continue;
    arEvent.push_back(std::move(event));
  }
  return arEvent;
}

std::vector<Event> E2e::EventsNamed(const std::string& strName) const {
  std::vector<Event> arEvent;
  for (auto& e : Transcript(true)) {
    if (e[0] == strName) arEvent.push_back(e);
  }
  return arEvent;
}

void E2e::ClearTranscript() const { fs::remove(Dir("transcript.txt")); }

std::string E2e::DocumentsXml() const {
  std::string strFound;
  int nCount = 0;
  for (const auto& entry : fs::directory_iterator(Dir("documents"))) {
    if (entry.path().extension() == ".xml") {
      strFound = entry.path().string();
      ++nCount;
    }
  }
  return nCount == 1 ? strFound : "";
}

}  // namespace e2e
