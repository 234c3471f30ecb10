#include "mfc/msgmap.h"

#include "mfc/wnd.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxSig_end, nullptr}};
  static const AFX_MSGMAP map = {nullptr, &entries[0]};
  return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP_ENTRY* lpEntry, UINT nMsg, UINT nCode, UINT nID) {
  for (; lpEntry->nSig != AfxSig_end; ++lpEntry) {
    if (lpEntry->nMessage == nMsg && lpEntry->nCode == nCode && nID >= lpEntry->nID && nID <= lpEntry->nLastID)
      return lpEntry;
  }
  return nullptr;
}

BOOL AfxDispatchCmdMsg(CCmdTarget* pTarget, UINT nID, int nCode, AFX_PMSG pfn, void* pExtra, UINT_PTR nSig) {
  switch (nSig) {
    case AfxSig_Cmd:
      (pTarget->*pfn)();
      return TRUE;
    case AfxSig_CmdRange:
      (pTarget->*AfxPmCast<AfxFn_CmdRange>(pfn))(nID);
      return TRUE;
    case AfxSig_CmdUI: {
      CCmdUI* pCmdUI = static_cast<CCmdUI*>(pExtra);
      pCmdUI->m_bContinueRouting = FALSE;
      (pTarget->*AfxPmCast<AfxFn_CmdUI>(pfn))(pCmdUI);
      BOOL bResult = !pCmdUI->m_bContinueRouting;
      pCmdUI->m_bContinueRouting = FALSE;
      return bResult;
    }
    case AfxSig_Notify: {
      AFX_NOTIFY* pNotify = static_cast<AFX_NOTIFY*>(pExtra);
      (pTarget->*AfxPmCast<AfxFn_Notify>(pfn))(pNotify->pNMHDR, pNotify->pResult);
      return TRUE;
    }
  }
  return FALSE;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  UINT nMsg = 0;
  UINT code = (UINT)nCode;
  if (code != CN_UPDATE_COMMAND_UI) {
    nMsg = HIWORD(code);
    code = LOWORD(code);
  }
  if (nMsg == 0) nMsg = WM_COMMAND;
  for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
    const AFX_MSGMAP_ENTRY* lpEntry = AfxFindMessageEntry(pMap->lpEntries, nMsg, code, nID);
    if (!lpEntry) continue;
    if (pHandlerInfo) {
      pHandlerInfo->pTarget = this;
      pHandlerInfo->pmf = lpEntry->pfn;
      return TRUE;
    }
    return AfxDispatchCmdMsg(this, nID, nCode, lpEntry->pfn, pExtra, lpEntry->nSig);
  }
  return FALSE;
}

void CCmdTarget::BeginWaitCursor() { ::SetCursor(::LoadCursorA(nullptr, (LPCSTR)IDC_WAIT)); }

void CCmdTarget::EndWaitCursor() { ::SetCursor(::LoadCursorA(nullptr, (LPCSTR)IDC_ARROW)); }

void CCmdTarget::RestoreWaitCursor() { BeginWaitCursor(); }
