#include "QtText.h"

#include <QList>

#include "Cp932.h"

QString QtFromCp932(const CString& strText) {
  std::string strUtf8;
  if (cp932::ToUtf8(strText, strUtf8)) return QString::fromUtf8(strUtf8);
  return QString::fromLatin1(strText.data(), static_cast<qsizetype>(strText.size()));
}

BOOL QtToCp932(const QString& strText, CString& rOut) {
  rOut.clear();
  const QByteArray utf8 = strText.toUtf8();
  if (cp932::FromUtf8(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())), rOut)) {
    return TRUE;
  }
  rOut.clear();
  return FALSE;
}

int QtCp932Length(const QString& strText) {
  CString strBytes;
  return QtToCp932(strText, strBytes) ? static_cast<int>(strBytes.size()) : -1;
}

int QtCp932LengthOrEstimate(const QString& strText) {
  const int nBytes = QtCp932Length(strText);
  if (nBytes >= 0) return nBytes;
  int nTotal = 0;
  for (qsizetype i = 0; i < strText.size();) {
    const qsizetype n = strText[i].isHighSurrogate() && i + 1 < strText.size() ? 2 : 1;
    const int nChar = QtCp932Length(strText.mid(i, n));
    nTotal += nChar >= 0 ? nChar : 2;
    i += n;
  }
  return nTotal;
}

QString QtFirstForeignChar(const QString& strText) {
  if (QtCp932Length(strText) >= 0) return QString();
  for (qsizetype i = 0; i < strText.size();) {
    const qsizetype n = strText[i].isHighSurrogate() && i + 1 < strText.size() ? 2 : 1;
    const QString strChar = strText.mid(i, n);
    if (QtCp932Length(strChar) < 0) return strChar;
    i += n;
  }
  return QString();
}

QString QtForeignCharMessage(const QString& strChar) {
  return QString::fromUtf8("「%1」(U+%2) は使用できない文字です。\n別の文字に置き換えてください。")
      .arg(strChar, QString::number(strChar.toUcs4().value(0), 16).toUpper());
}

QString QtStripMnemonic(const QString& strText) {
  QString strOut;
  for (qsizetype i = 0; i < strText.size(); ++i) {
    if (strText[i] == QLatin1Char('&') && i + 1 < strText.size()) ++i;
    strOut += strText[i];
  }
  return strOut;
}

QString QtMnemonicMarkup(const QString& strText) {
  QString strOut;
  for (qsizetype i = 0; i < strText.size(); ++i) {
    if (strText[i] == QLatin1Char('&') && i + 1 < strText.size()) {
      ++i;
      if (strText[i] != QLatin1Char('&')) {
        strOut +=
            QStringLiteral("<u>") + QString(strText[i]).toHtmlEscaped() + QStringLiteral("</u>");
        continue;
      }
    }
    strOut += QString(strText[i]).toHtmlEscaped();
  }
  strOut.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
  return strOut;
}
