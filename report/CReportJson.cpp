#include "CReportJson.h"

#include <cstdio>

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

}  // namespace

std::string CReportJson::Format(const CReportModel& model) {
  std::string out = "{\"items\":[";
  bool bFirstItem = true;
  for (const CReportModel::Item& item : model.m_arItem) {
    out += bFirstItem ? "\n" : ",\n";
    bFirstItem = false;
    out += "{\"number\":" + std::to_string(item.nNumber) + ",\"name\":" + Quote(item.strName) +
           ",\"tag\":" + Quote(item.strTag) + ",\"value\":";
    if (item.bMonthly) {
      out += "[";
      for (std::size_t i = 0; i < item.arMonth.size(); ++i) {
        out += (i ? "," : "") + report::Plain(item.arMonth[i]);
      }
      out += "]";
    } else {
      out += report::Plain(item.dThousands);
    }
    out += ",\"accounts\":[";
    for (std::size_t i = 0; i < item.arAccount.size(); ++i) {
      const CReportModel::Account& account = item.arAccount[i];
      out += (i ? "," : "") + std::string("{\"code\":") + std::to_string(account.nCode) +
             ",\"name\":" + Quote(account.strName) +
             ",\"amount\":" + report::Plain(account.dAmount) + "}";
    }
    out += "]}";
  }
  out += "\n],\"months\":[";
  for (std::size_t i = 0; i < model.m_arMonth.size(); ++i) {
    out += (i ? "," : "") + std::to_string(model.m_arMonth[i]);
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
        ",\"month\":" + NumberOrNull(finding.nMonth) + ",\"message\":" + Quote(finding.strMessage) +
        "}";
  }
  out += "\n]}\n";
  return out;
}
