#pragma once
// Text at the Qt edge: the program's CP932 strings shown as UTF-16, and what
// the user typed taken back into CP932.

#include <QString>

#include "WinTypes.h"

// Bytes that are not CP932 are shown one for one (Latin-1), never dropped.
QString QtFromCp932(const CString& strText);
// FALSE when the text has a character with no CP932 form; rOut is then empty.
BOOL QtToCp932(const QString& strText, CString& rOut);
// The CP932 length of the text in bytes, or -1 when it has no CP932 form.
int QtCp932Length(const QString& strText);
// The CP932 length, a character without a CP932 form counted as two bytes.
int QtCp932LengthOrEstimate(const QString& strText);
// The first character of the text that has no CP932 form, or "".
QString QtFirstForeignChar(const QString& strText);
// The message that refuses such a character, naming it.
QString QtForeignCharMessage(const QString& strChar);
// A caption without its access-key marks: "&&" becomes "&", "&X" becomes "X".
QString QtStripMnemonic(const QString& strText);
// A caption as rich text with its access key underlined (for labels that
// cannot show it themselves).
QString QtMnemonicMarkup(const QString& strText);
