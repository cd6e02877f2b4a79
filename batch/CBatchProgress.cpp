#include "CBatchProgress.h"

#include "Cp932.h"

namespace {

constexpr std::size_t kBarWidth = 24;

std::string U8(const char8_t* psz) { return reinterpret_cast<const char*>(psz); }

}  // namespace

CBatchProgress::CBatchProgress(std::FILE* pOut, bool bBar, std::size_t nTotal)
    : m_pOut(pOut), m_bBar(bBar), m_nTotal(nTotal) {
  if (m_bBar && m_nTotal > 0) {
    std::fprintf(m_pOut, "\r%s", BarLine(0, 0).c_str());
    std::fflush(m_pOut);
  }
}

void CBatchProgress::Done(const CBatchRow& row, double dElapsed) {
  ++m_nDone;
  if (m_bBar)
    std::fprintf(m_pOut, "\r%s\x1b[K", BarLine(m_nDone, dElapsed).c_str());
  else
    std::fprintf(m_pOut, "%s\n", PlainLine(row, m_nDone, dElapsed).c_str());
  std::fflush(m_pOut);
}

void CBatchProgress::Finish() {
  if (m_bBar && m_nTotal > 0) std::fputc('\n', m_pOut);
  std::fflush(m_pOut);
}

std::string CBatchProgress::Clock(double dSeconds) {
  const long n = dSeconds > 0 ? static_cast<long>(dSeconds + 0.5) : 0;
  char szText[32];
  if (n >= 3600)
    std::snprintf(szText, sizeof szText, "%ld:%02ld:%02ld", n / 3600, n / 60 % 60, n % 60);
  else
    std::snprintf(szText, sizeof szText, "%ld:%02ld", n / 60, n % 60);
  return szText;
}

std::string CBatchProgress::Times(std::size_t nDone, double dElapsed) const {
  std::string strTimes = U8(u8"経過 ") + Clock(dElapsed) + U8(u8"  残り ");
  if (nDone == 0) return strTimes + "-:--";
  const double dLeft =
      dElapsed / static_cast<double>(nDone) * static_cast<double>(m_nTotal - nDone);
  return strTimes + Clock(dLeft);
}

std::string CBatchProgress::BarLine(std::size_t nDone, double dElapsed) const {
  const std::size_t nFilled = m_nTotal == 0 ? kBarWidth : nDone * kBarWidth / m_nTotal;
  return "[" + std::string(nFilled, '#') + std::string(kBarWidth - nFilled, '.') + "] " +
         std::to_string(nDone) + "/" + std::to_string(m_nTotal) + "  " + Times(nDone, dElapsed);
}

std::string CBatchProgress::PlainLine(const CBatchRow& row, std::size_t nDone,
                                      double dElapsed) const {
  std::string strText;
  if (!cp932::ToUtf8(row.m_strDataId + " " + row.m_strName + ": " + row.StatusText(), strText))
    strText = "?";
  return std::to_string(nDone) + "/" + std::to_string(m_nTotal) + " " + strText + "  (" +
         Times(nDone, dElapsed) + ")";
}
