#pragma once
// Line builder of an XML file in CP932: each call writes whole lines ended by
// CR LF, indented by two blanks per depth. Texts and attribute values are
// escaped (& < > " become entities); an element with empty text is written
// as <TAG/>. Line calls return non-zero on success and 0 on failure (not
// open, a bad element name, text that is not CP932 or holds control
// characters, a failed write); after a failure the file stays as written.

#include <cstdio>

#include "WinTypes.h"

class CFile;

class CXMLEdit {
 public:
  CXMLEdit();
  virtual ~CXMLEdit();

  // Opens (creates or truncates) the file at szPath for writing; 0 on
  // success. The file object is not used: the builder owns its stream.
  short Init(CFile* pFile, LPCSTR szPath);
  // Writes szText unchanged.
  int FileWrite(LPCSTR szText);
  // <TAG a1="v1" a2="v2"> at depth nLevel; attribute pairs may be null.
  // The work area is the caller's scratch and is not written.
  int TopMakeRoot(char* pWork, LPCSTR szTag, int nLevel, LPCSTR szAttr1, LPCSTR szValue1,
                  LPCSTR szAttr2, LPCSTR szValue2);
  // <TAG>text</TAG>, or <TAG/> for an empty or null text.
  int LineMakeTag(char* pWork, LPCSTR szTag, LPCSTR szText, int nLevel, LPCSTR szAttr1,
                  LPCSTR szValue1, LPCSTR szAttr2, LPCSTR szValue2);
  // </TAG> at depth nLevel.
  int EndMakeRoot(char* pWork, LPCSTR szTag, int nLevel);
  // Closes the file; 0 when everything written reached it.
  short Finish();

  // Default output file name: "<form>_<business>_<year>.xml", at most
  // MAX_INIT_FNAME bytes with the NUL (the business name is cut at a
  // character boundary to fit); "/", "\" and characters that file names
  // should not hold become "_". szOut must hold MAX_INIT_FNAME bytes.
  inline static constexpr int MAX_INIT_FNAME = 128;
  void MakeInitFName(LPCSTR szFormName, LPCSTR szJigyoName, short nYear, char* szOut);

 private:
  bool WriteRaw(const CString& text);

  std::FILE* m_pStream = nullptr;
  bool m_bFailed = false;
};
