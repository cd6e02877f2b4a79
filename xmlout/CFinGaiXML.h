#pragma once
// Writes the computed report items as the Shift_JIS XML intermediate file the
// tax-form application imports, line by line through the host's XML builder.

#include <memory>

#include "CFailure.h"
#include "S_KANRI.h"
#include "SettingsRecords.h"
#include "WinTypes.h"
#include "tag_DATA.h"

class CFile;
class CXMLEdit;

class CFinGaiXML {
 public:
  explicit CFinGaiXML(HWND hWnd);
  ~CFinGaiXML();
  CFinGaiXML(const CFinGaiXML&) = delete;
  CFinGaiXML& operator=(const CFinGaiXML&) = delete;

  // TRUE when the whole file was written; otherwise GetFailure() says what
  // failed and an earlier file at the output path is left as it was.
  BOOL Write(_SG_CONDITION cond, const CArray<tag_DATA, tag_DATA>& arData, short nFunctionNo);
  // The product name (0) or version (1) from SUPPORT.INF in the current
  // folder; an empty text when the key is missing or the file cannot be read
  // (which fails Write).
  LPCSTR GetSupportInfo(short nSelect);

  const CFailure& GetFailure() const { return m_failure; }

  inline static constexpr int SUPPORT_SIZE = 30000;

  // The window the caller shows the failures over.
  HWND m_hWnd;
  // The host's XML builder keeps its own stream, so no file object is handed
  // over; the member stays for the builder's signature.
  CFile* m_file = nullptr;
  std::unique_ptr<S_KANRI> m_pKanri;
  // SUPPORT_SIZE bytes of file data and one NUL that ends the last value.
  std::unique_ptr<char[]> m_hSupport;
  char* m_pSupport = nullptr;

 private:
  // Reads SUPPORT.INF once; false with errno set when it cannot be opened or read.
  bool LoadSupportInfo();
  void PrepareSupportInfo(std::size_t nRead);
  BOOL Fail(const CFailure& failure);
  // The books' management record, the XML builder and SUPPORT.INF, as Write
  // needs them; none after a failure.
  std::unique_ptr<CXMLEdit> Prepare();

  CFailure m_failure;
};
