#pragma once
// Converts between one line of text and one fixed binary record, driven by a
// table of field formats. The line is cut into fixed-width pieces or split at
// a separator, with optional quoting; every piece converts by its format.

#include <cstdint>
#include <istream>

#include "TagCY.h"
#include "_STAFormat.h"

class _CTextAccessor {
 public:
  enum delimiter {
    DELIM_FIXED = 0,
    DELIM_COMMA = 1,
    DELIM_TAB = 2,
    DELIM_SPACE = 3,
  };
  enum quote {
    QUOTE_NONE = 0,
    QUOTE_SINGLE = 1,  // apostrophe
    QUOTE_DOUBLE = 2,  // double quotation mark
  };
  static constexpr int MAX_FORMATS = 100;
  static constexpr int MAX_LINE = 1023;

  // Copies the format table into a working copy that rotation may reorder;
  // the name, the table and the record stay the caller's. A count outside
  // 0 to MAX_FORMATS is cut to that range.
  _CTextAccessor(const char* pszName, const _STAFormat* pFormat, long nFormatCount, void* pRecord);
  virtual ~_CTextAccessor();
  _CTextAccessor(const _CTextAccessor&) = delete;
  _CTextAccessor& operator=(const _CTextAccessor&) = delete;

  // 1, nothing changed: quoting asked for fixed width, or an unknown mode.
  long SetMode(long nDelimiter, long nQuote);
  long Attach(std::iostream* pStream);
  // 0 record filled; 1 end of file, nothing converted (a last line without
  // a newline is not read); 2 the line does not fit the formats, is longer
  // than MAX_LINE (the next Read starts at the following line), or the
  // stream is broken. After 2 the record may be partly filled.
  long Read();
  // 0 written, -1 the stream failed.
  long Write();
  long GetFormatCount();
  _STAFormat* GetFormat();
  long SetMask(long nIndex, long nValue);
  long GetMask(long nIndex);
  // Rotates the block of nCount formats at nFirst so that its first format
  // lands at nTarget. 0 done, 1 refused.
  long RotateFormat(long nFirst, long nTarget, long nCount);
  void ResetRotate();
  void SetSelectFlag(int bFlag);
  void SetSpaceFlag(int bFlag);
  // Lines then hold only the listed formats, in list order, while the select
  // flag is 0. The list stays the caller's. -1, nothing changed: more than
  // MAX_FORMATS entries or an index outside the table. A count of 0 clears it.
  long SetSelect(const std::int32_t* pSelect, long nCount);

 protected:
  std::iostream* m_pStream;
  std::int32_t m_nDelimiter;
  std::int32_t m_nQuote;
  void* m_pRecord;
  const char* m_pszName;
  std::int32_t m_nFormatCount;
  const _STAFormat* m_pOrgFormat;
  std::int32_t m_nSelectCount;
  const std::int32_t* m_pSelect;
  char m_cMask[MAX_FORMATS];
  std::int32_t m_bSelectFlag;
  std::int32_t m_bSpaceFlag;
  _STAFormat* m_pFormat;

 private:
  // One piece of a line; pText null marks an absent field.
  struct Field {
    const char* pText;
    long nLength;
  };

  long ReadItem(long nPos, long nIndex, const char* pText, long nLength);
  long WriteItem(long nIndex);
  // The text is nLength bytes; a comma is ignored, so is any character that
  // is not a digit, sign, point or blank. 0 parsed, 1 only blanks, 2 malformed.
  long CheckNumeric(const char* pText, long nLength, tagCY* pAmount);

  // 0 a line of up to MAX_LINE characters in pLine, otherwise Read's result.
  long ReadLine(char* pLine, long& nLength);
  char QuoteChar() const;
  long ActiveCount() const;
  long ActiveIndex(long nPos) const;
  long SplitFixed(const char* pLine, long nLength, Field* pFields, long nActive) const;
  long SplitSeparated(const char* pLine, long nLength, Field* pFields, long nActive,
                      long& nFields) const;
  long SplitSpace(const char* pLine, long nLength, Field* pFields, long nActive,
                  long& nFields) const;
  void PutBlanks(long nCount);
  void PutRightJustified(const char* pText, long nLength, long nWidth);
  void WriteText(const char* pText, long nSize, long nWidth);
  void WriteAmount(std::int64_t nAmount, long nDecimals, long nWidth);
  void WriteInteger(const unsigned char* pValue, bool bSigned, long nSize, long nWidth);
};
