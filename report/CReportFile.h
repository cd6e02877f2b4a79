#pragma once
// An intermediate file shown as the form: its figures read back by element
// name, the items named after the installation's initial-data file (matched
// by tag). Without the books there are no accounts, and only the findings
// the figures themselves show: values that are missing, given twice or no
// numbers, items below zero or apart from their totals, a balance sheet
// that does not balance, and monthly sales that do not add up to item 1.

#include <map>

#include "CReportModel.h"
#include "SettingsRecords.h"
#include "WinTypes.h"

class CReportFile {
 public:
  // Reads strPath (CP932) and fills model from it with the item
  // definitions; false with GetError() when the file cannot be read or is
  // no intermediate file.
  bool Load(const CString& strPath, const CArray<_SG_INIT_BODY, _SG_INIT_BODY>& arInitBody,
            CReportModel& model);
  const CString& GetError() const { return m_strError; }

  // The element texts of an XML text in CP932, by element name; false when
  // the elements do not nest or the root is not strRoot.
  static bool Parse(const std::string& strXml, const char* pszRoot,
                    std::map<CString, CString>& mapText);

 private:
  bool Fail(const CString& strError);
  void Check(const CArray<_SG_INIT_BODY, _SG_INIT_BODY>& arInitBody, CReportModel& model) const;

  std::map<CString, CString> m_mapText;
  CString m_strError;
};
