// CWnd core: handle maps, the window procedure, creation and subclassing,
// destruction and the modal loop.
#include "mfc/wnd.h"

#include <set>
#include <string>

#include "mfc/globals.h"
#include "mfc/handlemap.h"
#include "mfc/thread.h"

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
  ON_WM_NCDESTROY()
END_MESSAGE_MAP()

const CWnd CWnd::wndTop(HWND_TOP);
const CWnd CWnd::wndBottom(HWND_BOTTOM);
const CWnd CWnd::wndTopMost(HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST);

const char afxWndClassName[] = "AfxWnd";

CHandleMap& afxMapHWND() { return AfxHandleMapOf<CWnd, HWND, &CWnd::m_hWnd>(AfxHandleWnd); }

CWnd* CWnd::FromHandle(HWND hWnd) { return static_cast<CWnd*>(afxMapHWND().FromHandle(hWnd)); }

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
  return hWnd ? static_cast<CWnd*>(afxMapHWND().LookupPermanent(hWnd)) : nullptr;
}

void CWnd::DeleteTempMap() { AfxGetThreadState()->DeleteTempMap(AfxHandleWnd); }

BOOL CWnd::Attach(HWND hWndNew) {
  // A window has at most one object.
  if (FromHandlePermanent(hWndNew)) return FALSE;
  return AfxAttachHandle(afxMapHWND(), this, m_hWnd, hWndNew);
}

HWND CWnd::Detach() { return AfxDetachHandle(afxMapHWND(), this, m_hWnd); }

CWnd::~CWnd() {
  // Only this class's handlers run now: the derived parts are gone.
  if (m_hWnd && this != &wndTop && this != &wndBottom && this != &wndTopMost && this != &wndNoTopMost) DestroyWindow();
}

// ---------------------------------------------------------------------------
// The window procedure.

namespace {
// A modal window that comes out of WM_INITDIALOG hidden and unmoved is
// centred over its owner.
struct InitDialogPlacement {
  RECT rect;
  DWORD style;
};

bool IsAutoCenterCandidate(CWnd* pWnd, const InitDialogPlacement& before) {
  if (before.style & WS_VISIBLE) return false;
  if (pWnd->GetStyle() & (WS_VISIBLE | WS_CHILD)) return false;
  RECT now;
  pWnd->GetWindowRect(&now);
  if (now.left != before.rect.left || now.top != before.rect.top) return false;
  HWND hOwner = ::GetWindow(pWnd->m_hWnd, GW_OWNER);
  return !hOwner || !::IsWindowEnabled(hOwner);
}
}  // namespace

LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
  AFX_THREAD_STATE* state = AfxGetThreadState();
  MSG oldMsg = state->m_lastSentMsg;
  state->m_lastSentMsg.hwnd = hWnd;
  state->m_lastSentMsg.message = nMsg;
  state->m_lastSentMsg.wParam = wParam;
  state->m_lastSentMsg.lParam = lParam;

  InitDialogPlacement before = {};
  if (nMsg == WM_INITDIALOG) {
    ::GetWindowRect(hWnd, &before.rect);
    before.style = (DWORD)::GetWindowLongPtrA(hWnd, GWL_STYLE);
  }
  LRESULT lResult = pWnd->WindowProc(nMsg, wParam, lParam);
  if (nMsg == WM_INITDIALOG && CWnd::FromHandlePermanent(hWnd) == pWnd && IsAutoCenterCandidate(pWnd, before))
    pWnd->CenterWindow();

  state->m_lastSentMsg = oldMsg;
  return lResult;
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
  CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
  if (!pWnd || pWnd->m_hWnd != hWnd) return ::DefWindowProcA(hWnd, nMsg, wParam, lParam);
  return AfxCallWndProc(pWnd, hWnd, nMsg, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT lResult = 0;
  if (!OnWndMsg(message, wParam, lParam, &lResult)) lResult = DefWindowProc(message, wParam, lParam);
  return lResult;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_pfnSuper) return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
  return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
  const MSG& msg = AfxGetThreadState()->m_lastSentMsg;
  return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

void CWnd::OnNcDestroy() {
  // The main window of a thread ends the thread's message loop.
  CWinThread* pThread = AfxGetThread();
  if (pThread && pThread->m_pMainWnd == this) {
    AfxPostQuitMessage(0);
    pThread->m_pMainWnd = nullptr;
  }
  WNDPROC pfnWndProc = (WNDPROC)::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC);
  Default();
  // Give the window its own procedure back unless someone subclassed it since.
  if (m_pfnSuper && (WNDPROC)::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC) == pfnWndProc)
    ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, (LONG_PTR)m_pfnSuper);
  m_pfnSuper = nullptr;
  Detach();
  PostNcDestroy();  // may delete this
}

// ---------------------------------------------------------------------------
// Attaching objects at creation time.

namespace {
bool IsImeWindow(HWND hWnd) {
  char cls[32] = "";
  ::GetClassNameA(hWnd, cls, sizeof cls);
  return lstrcmpiA(cls, "IME") == 0 || lstrcmpiA(cls, "MSCTFIME UI") == 0;
}

bool IsChildDialog(HWND hWnd, const CREATESTRUCTA* cs) {
  if (!(cs->style & WS_CHILD)) return false;
  char cls[16] = "";
  ::GetClassNameA(hWnd, cls, sizeof cls);
  return lstrcmpA(cls, "#32770") == 0;
}

void SubclassForFramework(CWnd* pWnd, HWND hWnd) {
  pWnd->Attach(hWnd);
  pWnd->PreSubclassWindow();
  WNDPROC old = (WNDPROC)::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, (LONG_PTR)AfxWndProc);
  if (old != AfxWndProc) *pWnd->GetSuperWndProcAddr() = old;
}
}  // namespace

LRESULT CALLBACK AfxCbtFilterHook(int code, WPARAM wParam, LPARAM lParam) {
  AFX_THREAD_STATE* state = AfxGetThreadState();
  if (code == HCBT_CREATEWND) {
    HWND hWnd = (HWND)wParam;
    const CREATESTRUCTA* cs = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
    CWnd* pWnd = nullptr;
    if (state->m_pWndInit && !IsImeWindow(hWnd)) {
      pWnd = state->m_pWndInit;
      state->m_pWndInit = nullptr;
    } else if (state->m_pAlternateWndInit && IsChildDialog(hWnd, cs)) {
      pWnd = state->m_pAlternateWndInit;
      state->m_pAlternateWndInit = nullptr;
    }
    if (pWnd) SubclassForFramework(pWnd, hWnd);
  }
  return ::CallNextHookEx(state->m_hHookOldCbtFilter, code, wParam, lParam);
}

namespace {
void InstallCbtHook(AFX_THREAD_STATE* state) {
  if (!state->m_hHookOldCbtFilter)
    state->m_hHookOldCbtFilter = ::SetWindowsHookExA(WH_CBT, AfxCbtFilterHook, nullptr, ::GetCurrentThreadId());
}
}  // namespace

void AfxHookWindowCreate(CWnd* pWnd) {
  AFX_THREAD_STATE* state = AfxGetThreadState();
  InstallCbtHook(state);
  state->m_pWndInit = pWnd;
}

BOOL AfxUnhookWindowCreate() {
  AFX_THREAD_STATE* state = AfxGetThreadState();
  if (state->m_pWndInit) {
    state->m_pWndInit = nullptr;
    return FALSE;
  }
  return TRUE;
}

void AfxHookChildDialogCreate(CWnd* pWnd) {
  AFX_THREAD_STATE* state = AfxGetThreadState();
  if (pWnd) InstallCbtHook(state);
  state->m_pAlternateWndInit = pWnd;
}

// ---------------------------------------------------------------------------
// Creation and subclassing.

LPCSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon) {
  static CRITICAL_SECTION lock = [] {
    CRITICAL_SECTION cs;
    InitializeCriticalSection(&cs);
    return cs;
  }();
  static std::set<std::string> names;  // node-based: the names keep their place
  HINSTANCE hInst = AfxGetInstanceHandle();
  char name[96];
  wsprintfA(name, "Afx:%p:%x:%p:%p:%p", hInst, nClassStyle, hCursor, hbrBackground, hIcon);
  EnterCriticalSection(&lock);
  auto it = names.find(name);
  if (it == names.end()) {
    WNDCLASSA wc = {};
    if (!::GetClassInfoA(hInst, name, &wc)) {
      wc.style = nClassStyle;
      wc.lpfnWndProc = ::DefWindowProcA;
      wc.hInstance = hInst;
      wc.hIcon = hIcon;
      wc.hCursor = hCursor;
      wc.hbrBackground = hbrBackground;
      wc.lpszClassName = name;
      if (!::RegisterClassA(&wc)) {
        LeaveCriticalSection(&lock);
        return nullptr;
      }
    }
    it = names.insert(name).first;
  }
  LeaveCriticalSection(&lock);
  return it->c_str();
}

namespace {
bool RegisterDefaultClass() {
  static bool ok = [] {
    WNDCLASSA wc = {};
    HINSTANCE hInst = AfxGetInstanceHandle();
    if (::GetClassInfoA(hInst, afxWndClassName, &wc)) return true;
    wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = hInst;
    wc.hCursor = ::LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
    wc.lpszClassName = afxWndClassName;
    return ::RegisterClassA(&wc) != 0;
  }();
  return ok;
}
}  // namespace

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs) {
  if (!cs.lpszClass) {
    if (!RegisterDefaultClass()) return FALSE;
    cs.lpszClass = afxWndClassName;
  }
  return TRUE;
}

BOOL CWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                  UINT nID, CCreateContext* pContext) {
  return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID, (LPVOID)pContext);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                    CWnd* pParentWnd, UINT nID, LPVOID lpParam) {
  return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, pParentWnd->GetSafeHwnd(), (HMENU)(UINT_PTR)nID, lpParam);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam) {
  if (m_hWnd) return FALSE;  // one window per object
  CREATESTRUCTA cs = {};
  cs.dwExStyle = dwExStyle;
  cs.lpszClass = lpszClassName;
  cs.lpszName = lpszWindowName;
  cs.style = (LONG)dwStyle;
  cs.x = x;
  cs.y = y;
  cs.cx = nWidth;
  cs.cy = nHeight;
  cs.hwndParent = hWndParent;
  cs.hMenu = nIDorHMenu;
  cs.hInstance = AfxGetInstanceHandle();
  cs.lpCreateParams = lpParam;
  if (!PreCreateWindow(cs)) {
    PostNcDestroy();
    return FALSE;
  }
  AfxHookWindowCreate(this);
  HWND hWnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y, cs.cx, cs.cy,
                                cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
  // Never attached: the system refused before creating anything, so no
  // WM_NCDESTROY will come to clean up.
  if (!AfxUnhookWindowCreate()) PostNcDestroy();
  return hWnd != nullptr;
}

BOOL CWnd::DestroyWindow() {
  if (!m_hWnd) return FALSE;
  HWND hWnd = m_hWnd;
  bool permanent = FromHandlePermanent(hWnd) == this;
  BOOL bResult = ::DestroyWindow(hWnd);
  // A permanent object was detached by WM_NCDESTROY (and may be gone);
  // any other is detached here.
  if (!permanent && m_hWnd == hWnd) Detach();
  return bResult;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
  if (!Attach(hWnd)) return FALSE;
  PreSubclassWindow();
  WNDPROC old = (WNDPROC)::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, (LONG_PTR)AfxWndProc);
  if (old != AfxWndProc) m_pfnSuper = old;
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
  HWND hWndControl = ::GetDlgItem(pParent->GetSafeHwnd(), nID);
  return hWndControl && SubclassWindow(hWndControl);
}

HWND CWnd::UnsubclassWindow() {
  if (m_pfnSuper) {
    ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, (LONG_PTR)m_pfnSuper);
    m_pfnSuper = nullptr;
  }
  return Detach();
}

// ---------------------------------------------------------------------------
// Message loops.

BOOL CWnd::PreTranslateMessage(MSG* pMsg) { return FALSE; }

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg) {
  for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
    CWnd* pWnd = FromHandlePermanent(hWnd);
    if (pWnd && pWnd->PreTranslateMessage(pMsg)) return TRUE;
    if (hWnd == hWndStop) break;
  }
  return FALSE;
}

int CWnd::RunModalLoop(DWORD dwFlags) {
  bool bIdle = true;
  LONG lIdleCount = 0;
  bool bShowIdle = (dwFlags & MLF_SHOWONIDLE) && !(GetStyle() & WS_VISIBLE);
  HWND hWndParent = ::GetParent(m_hWnd);
  m_nFlags |= WF_MODALLOOP | WF_CONTINUEMODAL;
  MSG* pMsg = &AfxGetThreadState()->m_msgCur;
  for (;;) {
    while (bIdle && !::PeekMessageA(pMsg, nullptr, 0, 0, PM_NOREMOVE)) {
      if (bShowIdle) {
        ShowWindow(SW_SHOWNORMAL);
        UpdateWindow();
        bShowIdle = false;
      }
      if (!(dwFlags & MLF_NOIDLEMSG) && hWndParent && lIdleCount == 0)
        ::SendMessageA(hWndParent, WM_ENTERIDLE, MSGF_DIALOGBOX, (LPARAM)m_hWnd);
      if ((dwFlags & MLF_NOKICKIDLE) || !SendMessage(WM_KICKIDLE, MSGF_DIALOGBOX, lIdleCount++)) bIdle = false;
    }
    do {
      if (!AfxPumpMessage()) {
        // WM_QUIT: leave the loop and let the outer loop see the quit too.
        ::PostQuitMessage((int)pMsg->wParam);
        m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);
        return -1;
      }
      if (bShowIdle && (pMsg->message == 0x0118 || pMsg->message == WM_SYSKEYDOWN)) {
        ShowWindow(SW_SHOWNORMAL);
        UpdateWindow();
        bShowIdle = false;
      }
      // A window destroyed from outside ends its loop as well.
      if (!ContinueModal() || !m_hWnd) {
        m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);
        return m_nModalResult;
      }
      if (AfxIsIdleMessage(pMsg)) {
        bIdle = true;
        lIdleCount = 0;
      }
    } while (::PeekMessageA(pMsg, nullptr, 0, 0, PM_NOREMOVE));
  }
}

void CWnd::EndModalLoop(int nResult) {
  m_nModalResult = nResult;
  if (m_nFlags & WF_CONTINUEMODAL) {
    m_nFlags &= ~WF_CONTINUEMODAL;
    PostMessage(WM_NULL);
  }
}
