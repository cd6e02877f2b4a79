#include "CReportJson.h"

#include <cstdio>

#include "ProgramVersion.h"
#include "ReportFormat.h"

namespace {

std::string Quote(const CString& strCp932) {
  const std::string strText = report::ToUtf8(strCp932);
  std::string out = "\"";
  for (const char c : strText) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char szEscape[8];
          std::snprintf(szEscape, sizeof szEscape, "\\u%04x", static_cast<unsigned>(c));
          out += szEscape;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

std::string NumberOrNull(int nValue) { return nValue == 0 ? "null" : std::to_string(nValue); }

std::string Date(const int (&ymd)[3]) {
  char szText[16];
  std::snprintf(szText, sizeof szText, "%04d-%02d-%02d", ymd[0], ymd[1], ymd[2]);
  return std::string("\"") + szText + "\"";
}

std::string Header(const CReportModel& model) {
  std::string out = "\"header\":{\"data_id\":";
  out += model.m_strDataID.empty() ? "null" : Quote(model.m_strDataID);
  out += ",\"name\":" + Quote(model.m_strJigyoName);
  out += ",\"fiscal_start\":" + Date(model.m_nStart) + ",\"fiscal_end\":" + Date(model.m_nEnd);
  out += ",\"span\":";
  out += model.m_arMonth.empty() ? std::string("null")
                                 : "[" + std::to_string(model.m_nFromMonth) + "," +
                                       std::to_string(model.m_nToMonth) + "]";
  out += ",\"program_version\":\"";
  out += kProgramVersion;
  return out + "\"}";
}

}  // namespace

std::string CReportJson::Format(const CReportModel& model) {
  std::string out = "{" + Header(model) + ",\n\"items\":[";
  bool bFirstItem = true;
  for (const CReportModel::Item& item : model.m_arItem) {
    out += bFirstItem ? "\n" : ",\n";
    bFirstItem = false;
    out += "{\"number\":" + std::to_string(item.nNumber) + ",\"name\":" + Quote(item.strName) +
           ",\"tag\":" + Quote(item.strTag) + ",\"value\":";
    if (item.bMonthly) {
      out += "[";
      for (std::size_t i = 0; i < item.arMonth.size(); ++i) {
        if (i > 0) out += ',';
        out += report::Plain(item.arMonth[i]);
      }
      out += "]";
    } else {
      out += report::Plain(item.dThousands);
    }
    out += ",\"accounts\":[";
    for (std::size_t i = 0; i < item.arAccount.size(); ++i) {
      const CReportModel::Account& account = item.arAccount[i];
      if (i > 0) out += ',';
      out += "{\"code\":";
      out += std::to_string(account.nCode);
      out += ",\"name\":";
      out += Quote(account.strName);
      out += ",\"amount\":";
      out += report::Plain(account.dAmount);
      out += '}';
    }
    out += "],\"parts\":[";
    for (std::size_t i = 0; i < item.arPart.size(); ++i) {
      const CReportModel::Part& part = item.arPart[i];
      if (i > 0) out += ',';
      out += "{\"item\":" + NumberOrNull(part.nItem) + ",\"name\":" + Quote(part.strName) +
             ",\"amount\":" + report::Plain(part.dAmount) + "}";
    }
    out += "]}";
  }
  out += "\n],\"months\":[";
  for (std::size_t i = 0; i < model.m_arMonth.size(); ++i) {
    if (i > 0) out += ',';
    out += std::to_string(model.m_arMonth[i]);
  }
  out += "],\"findings\":[";
  for (std::size_t i = 0; i < model.m_arFinding.size(); ++i) {
    const CReportModel::Finding& finding = model.m_arFinding[i];
    out += (i ? ",\n" : "\n");
    out +=
        "{\"code\":" + Quote(finding.strCode) + ",\"severity\":" +
        (finding.severity == CReportModel::Severity::Warning ? "\"warning\"" : "\"information\"") +
        ",\"item\":" + NumberOrNull(finding.nItem) +
        ",\"account\":" + NumberOrNull(finding.nAccount) +
        ",\"month\":" + NumberOrNull(finding.nMonth) +
        ",\"amount\":" + (finding.dAmount ? report::Plain(*finding.dAmount) : std::string("null")) +
        ",\"message\":" + Quote(finding.strMessage) + "}";
  }
  out += "\n]}\n";
  return out;
}
