#include "CMembSelDlg.h"

#include <cstring>

#include "CJetAccess.h"
#include "LedgerSel.h"

namespace {

constexpr const char* kCaption = "組合員選択";

}  // namespace

CMembSelDlg::CMembSelDlg(CWnd* pParentWnd) : CAccSelDlg(IDD_LEDGER_MEMBSEL, pParentWnd) {}

CMembSelDlg::~CMembSelDlg() = default;

void CMembSelDlg::SetEnvInfo(const S_ENV* pEnv) {
  m_bHaveStart = pEnv != nullptr;
  m_env = pEnv ? *pEnv : S_ENV{};
}

void CMembSelDlg::GetSelectedEnvInfo(S_ENV* pEnv) {
  if (pEnv) *pEnv = m_env;
}

int CMembSelDlg::InitialRow() const {
  if (!m_bHaveStart) return -1;
  const CString strStart(m_env.szDataPath, strnlen(m_env.szDataPath, sizeof m_env.szDataPath));
  for (std::size_t i = 0; i < m_arPaths.size(); ++i) {
    if (m_arPaths[i] == strStart) return static_cast<int>(i);
  }
  return -1;
}

void CMembSelDlg::OnOK() {
  const int nRow = m_list.GetNextItem(-1, LVNI_SELECTED);
  if (nRow < 0) {
    MessageBoxA(GetSafeHwnd(), "組合員を選択してください。", kCaption, MB_OK | MB_ICONWARNING);
    return;
  }
  // The member's folder stays in use by this process while the caller holds
  // its semaphore object; one that another process holds is refused before
  // the choice changes.
  if (m_pSemaFile && !m_pSemaFile->Lock(m_arPaths[static_cast<std::size_t>(nRow)].c_str())) {
    MessageBoxA(GetSafeHwnd(), "選択した組合員のデータは他で使用中です。", kCaption,
                MB_OK | MB_ICONWARNING);
    return;
  }
  if (!ChooseRow(nRow)) {
    MessageBoxA(GetSafeHwnd(), "選択した組合員のデータを開けませんでした。", kCaption,
                MB_OK | MB_ICONWARNING);
    return;
  }
  S_ENV env{};
  CJetAccess* pJet = LedgerSel_GetJetAccess();
  if (!pJet || pJet->ReadEnv(&env) != 0) {
    MessageBoxA(GetSafeHwnd(), "選択した組合員のデータを開けませんでした。", kCaption,
                MB_OK | MB_ICONWARNING);
    return;
  }
  m_env = env;
  EndDialog(IDOK);
}
