// CDialog: modal and modeless dialogs from resource templates or from
// in-memory templates (DLGTEMPLATE or DLGTEMPLATEEX).
#pragma once

#include <windows.h>

#include "mfc/wnd.h"

class CDialog : public CWnd {
  DECLARE_DYNAMIC(CDialog)

 public:
  CDialog() = default;
  explicit CDialog(LPCSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  ~CDialog() override;

  // Modal: the template is set before DoModal.
  BOOL InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = nullptr, void* lpDialogInit = nullptr);
  BOOL InitModalIndirect(HGLOBAL hDialogTemplate, CWnd* pParentWnd = nullptr);
  // Runs the dialog with its own message loop; the result of EndDialog, or
  // -1 when the dialog could not be made.
  virtual INT_PTR DoModal();

  // Modeless.
  virtual BOOL Create(LPCSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
  virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr) {
    return Create(MAKEINTRESOURCEA(nIDTemplate), pParentWnd);
  }
  virtual BOOL CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = nullptr,
                              void* lpDialogInit = nullptr);
  virtual BOOL CreateIndirect(HGLOBAL hDialogTemplate, CWnd* pParentWnd = nullptr);

  void EndDialog(int nResult);
  void NextDlgCtrl() const { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 0, 0); }
  void PrevDlgCtrl() const { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 1, 0); }
  void GotoDlgCtrl(CWnd* pWndCtrl) { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, (WPARAM)pWndCtrl->GetSafeHwnd(), 1); }
  void SetDefID(UINT nID) { ::SendMessageA(m_hWnd, DM_SETDEFID, nID, 0); }
  DWORD GetDefID() const { return (DWORD)::SendMessageA(m_hWnd, DM_GETDEFID, 0, 0); }
  void MapDialogRect(LPRECT lpRect) const { ::MapDialogRect(m_hWnd, lpRect); }

  virtual BOOL OnInitDialog();
  BOOL PreTranslateMessage(MSG* pMsg) override;
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

 protected:
  virtual void OnOK();      // UpdateData, then EndDialog(IDOK)
  virtual void OnCancel();  // EndDialog(IDCANCEL)
  afx_msg LRESULT HandleInitDialog(WPARAM, LPARAM);

  // Creates the window from a template; attached before its first message.
  BOOL CreateDlgIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, HINSTANCE hInst);
  BOOL CreateIndirectWith(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, HINSTANCE hInst);

  LPCSTR m_lpszTemplateName = nullptr;
  HGLOBAL m_hDialogTemplate = nullptr;
  LPCDLGTEMPLATE m_lpDialogTemplate = nullptr;
  void* m_lpDialogInit = nullptr;
  CWnd* m_pParentWnd = nullptr;
  HWND m_hWndTop = nullptr;
  UINT m_nIDHelp = 0;

  DECLARE_MESSAGE_MAP()
};

// The dialog procedure of framework dialogs: it runs OnInitDialog; every
// other message is handled by the dialog object's window procedure.
INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
