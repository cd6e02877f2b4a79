#include "QtText.h"

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
