#pragma once
// The member selection dialog of the cooperative edition: as the data-set
// selection, over the members. SetEnvInfo names the member to start from
// (null: the first); GetSelectedEnvInfo hands back the chosen member's
// environment record. m_pSemaFile, set by the caller before DoModal, is the
// caller's semaphore object: the chosen member's folder is locked with it,
// and a member whose folder another process holds is refused.

#include "CAccSelDlg.h"
#include "CSemaFile.h"
#include "S_ENV.h"

class CMembSelDlg : public CAccSelDlg {
 public:
  explicit CMembSelDlg(CWnd* pParentWnd = nullptr);
  ~CMembSelDlg() override;

  CSemaFile* m_pSemaFile = nullptr;

  void SetEnvInfo(const S_ENV* pEnv);
  void GetSelectedEnvInfo(S_ENV* pEnv);

  void OnOK() override;

 protected:
  int InitialRow() const override;

 private:
  S_ENV m_env{};
  BOOL m_bHaveStart = FALSE;
};
