#include "CHeadlessScript.h"

#include <charconv>
#include <fstream>
#include <sstream>

#include "Cp932.h"
#include "UiDefs.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Reads the next blank-separated token; afterwards pos is just past it.
std::string NextToken(const std::string& strLine, std::size_t& pos) {
  while (pos < strLine.size() && IsBlank(strLine[pos])) ++pos;
  const std::size_t nStart = pos;
  while (pos < strLine.size() && !IsBlank(strLine[pos])) ++pos;
  return strLine.substr(nStart, pos - nStart);
}

// The rest of the line after the one blank that ends the token before it.
std::string Rest(const std::string& strLine, std::size_t pos) {
  if (pos < strLine.size() && IsBlank(strLine[pos])) ++pos;
  return pos < strLine.size() ? strLine.substr(pos) : std::string();
}

bool ParseInt(const std::string& strToken, int& nValue) {
  if (strToken.empty()) return false;
  const char* pEnd = strToken.data() + strToken.size();
  auto [ptr, ec] = std::from_chars(strToken.data(), pEnd, nValue);
  return ec == std::errc() && ptr == pEnd;
}

bool AllDigits(const std::string& strText) {
  if (strText.empty()) return false;
  for (char c : strText) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

std::string Upper(std::string strText) {
  for (char& c : strText) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return strText;
}

bool KeyCode(const std::string& strKey, int& nVirtKey) {
  static const struct {
    const char* pszName;
    UINT nCode;
  } kKeys[] = {{"ENTER", VK_RETURN}, {"ESC", VK_ESCAPE}, {"F1", VK_F1},
               {"F5", VK_F5},        {"F6", VK_F6},      {"F8", VK_F8}};
  const std::string strUpper = Upper(strKey);
  for (const auto& key : kKeys) {
    if (strUpper == key.pszName) {
      nVirtKey = static_cast<int>(key.nCode);
      return true;
    }
  }
  return false;
}

bool AnswerCode(const std::string& strAnswer, int& nId) {
  if (strAnswer == "ok") {
    nId = IDOK;
  } else if (strAnswer == "yes") {
    nId = IDYES;
  } else if (strAnswer == "no") {
    nId = IDNO;
  } else if (strAnswer == "cancel") {
    nId = IDCANCEL;
  } else {
    return false;
  }
  return true;
}

// The step parsers below read what follows the verb, from pos on; each gives
// an empty text on success, else the reason.

// The rest of the line as the step's text, in CP932.
std::string TextArg(const std::string& strUtf8, ScriptStep& step) {
  return cp932::FromUtf8(strUtf8, step.strArg) ? std::string()
                                               : "text with no CP932 form: " + strUtf8;
}

// Nothing may follow the step's last token.
std::string NothingAfter(const std::string& strVerb, const std::string& strLine, std::size_t pos) {
  return NextToken(strLine, pos).empty() ? std::string() : "unexpected text after " + strVerb;
}

std::string ParseExpect(const std::string& strVerb, const std::string& strLine, std::size_t pos,
                        ScriptStep& step) {
  std::size_t p = pos;
  if (NextToken(strLine, p) == "page") {
    if (!ParseInt(NextToken(strLine, p), step.nNumber)) return "expect page needs a template id";
    step.verb = StepVerb::ExpectPage;
    return NothingAfter(strVerb, strLine, p);
  }
  step.verb = StepVerb::Expect;
  step.strArg = NextToken(strLine, pos);
  if (step.strArg.empty()) return "expect needs a dialog name";
  return NothingAfter(strVerb, strLine, pos);
}

std::string ParseChoose(const std::string&, const std::string& strLine, std::size_t pos,
                        ScriptStep& step) {
  step.verb = StepVerb::Choose;
  const std::string strArg = Rest(strLine, pos);
  if (strArg.empty()) return "choose needs a row or a text";
  if (AllDigits(strArg) && ParseInt(strArg, step.nNumber)) return {};
  step.bByText = TRUE;
  return TextArg(strArg, step);
}

std::string ParseSet(const std::string&, const std::string& strLine, std::size_t pos,
                     ScriptStep& step) {
  step.verb = StepVerb::Set;
  if (!ParseInt(NextToken(strLine, pos), step.nNumber)) return "set needs a control id";
  return TextArg(Rest(strLine, pos), step);
}

std::string ParseClick(const std::string& strVerb, const std::string& strLine, std::size_t pos,
                       ScriptStep& step) {
  step.verb = StepVerb::Click;
  if (!ParseInt(NextToken(strLine, pos), step.nNumber)) return "click needs a control id";
  return NothingAfter(strVerb, strLine, pos);
}

std::string ParseKey(const std::string& strVerb, const std::string& strLine, std::size_t pos,
                     ScriptStep& step) {
  step.verb = StepVerb::Key;
  const std::string strKey = NextToken(strLine, pos);
  if (!KeyCode(strKey, step.nNumber)) return "unknown key: " + strKey;
  return NothingAfter(strVerb, strLine, pos);
}

std::string ParseTick(const std::string& strVerb, const std::string& strLine, std::size_t pos,
                      ScriptStep& step) {
  step.verb = strVerb == "tick" ? StepVerb::Tick : StepVerb::Untick;
  const std::string strRow = NextToken(strLine, pos);
  if (strRow.rfind("code=", 0) == 0) {
    step.bByText = TRUE;
    step.strArg = strRow.substr(5);
    if (!ParseInt(step.strArg, step.nNumber)) return "code= needs a number";
  } else if (!AllDigits(strRow) || !ParseInt(strRow, step.nNumber)) {
    return strVerb + " needs a row or code=N";
  }
  return NothingAfter(strVerb, strLine, pos);
}

std::string ParseFile(const std::string&, const std::string& strLine, std::size_t pos,
                      ScriptStep& step) {
  const std::string strPath = Rest(strLine, pos);
  if (strPath.empty()) return "file needs a path or cancel";
  if (strPath == "cancel") {
    step.verb = StepVerb::FileCancel;
    return {};
  }
  step.verb = StepVerb::File;
  return TextArg(strPath, step);
}

std::string ParseAnswer(const std::string&, const std::string& strLine, std::size_t pos,
                        ScriptStep& step) {
  step.verb = StepVerb::Answer;
  if (!AnswerCode(NextToken(strLine, pos), step.nNumber)) {
    return "answer needs ok, yes, no or cancel";
  }
  const std::string strText = Rest(strLine, pos);
  step.bHasText = !strText.empty();
  return TextArg(strText, step);
}

std::string ParseExec(const std::string&, const std::string& strLine, std::size_t pos,
                      ScriptStep& step) {
  step.verb = StepVerb::Exec;
  // The shell gets the command as written, in UTF-8.
  step.strArg = Rest(strLine, pos);
  return step.strArg.empty() ? "exec needs a command" : std::string();
}

// The steps that take nothing after their verb.
std::string ParseBare(const std::string& strVerb, const std::string& strLine, std::size_t pos,
                      ScriptStep& step) {
  step.verb = strVerb == "cancel" ? StepVerb::Cancel : StepVerb::Dump;
  return NothingAfter(strVerb, strLine, pos);
}

// One line into a step; an empty return is success, else the reason.
std::string ParseLine(const std::string& strLine, ScriptStep& step) {
  using StepParser =
      std::string (*)(const std::string&, const std::string&, std::size_t, ScriptStep&);
  static const struct {
    const char* pszVerb;
    StepParser parse;
  } kParsers[] = {{"expect", ParseExpect}, {"choose", ParseChoose}, {"cancel", ParseBare},
                  {"set", ParseSet},       {"click", ParseClick},   {"key", ParseKey},
                  {"tick", ParseTick},     {"untick", ParseTick},   {"file", ParseFile},
                  {"answer", ParseAnswer}, {"dump", ParseBare},     {"exec", ParseExec}};
  std::size_t pos = 0;
  const std::string strVerb = NextToken(strLine, pos);
  for (const auto& parser : kParsers) {
    if (strVerb == parser.pszVerb) return parser.parse(strVerb, strLine, pos, step);
  }
  return "unknown step: " + strVerb;
}

}  // namespace

BOOL CHeadlessScript::Parse(const std::string& strUtf8, CString& strError) {
  m_arSteps.clear();
  std::istringstream in(strUtf8);
  std::string strLine;
  int nLine = 0;
  while (std::getline(in, strLine)) {
    ++nLine;
    if (!strLine.empty() && strLine.back() == '\r') strLine.pop_back();
    std::size_t nFirst = 0;
    while (nFirst < strLine.size() && IsBlank(strLine[nFirst])) ++nFirst;
    if (nFirst == strLine.size() || strLine[nFirst] == '#') continue;
    ScriptStep step{};
    step.nLine = nLine;
    const std::string strWhy = ParseLine(strLine, step);
    if (!strWhy.empty()) {
      std::string strMessage = "script line " + std::to_string(nLine) + ": " + strWhy;
      if (!cp932::FromUtf8(strMessage, strError)) strError = "script line " + std::to_string(nLine);
      m_arSteps.clear();
      return FALSE;
    }
    if (!cp932::FromUtf8(strLine, step.strSource)) step.strSource = step.strArg;
    m_arSteps.push_back(std::move(step));
  }
  return TRUE;
}

BOOL CHeadlessScript::LoadFile(const std::string& strPath, CString& strError) {
  std::ifstream in(strPath, std::ios::binary);
  if (!in) {
    CString strShown;
    if (!cp932::FromUtf8(strPath, strShown)) strShown = "(name not shown)";
    strError = "cannot read the script " + strShown;
    return FALSE;
  }
  std::ostringstream text;
  text << in.rdbuf();
  return Parse(text.str(), strError);
}
