// Message maps and command routing: CCmdTarget, CCmdUI and the ON_... entries.
//
// A class declares DECLARE_MESSAGE_MAP() and defines its table between
// BEGIN_MESSAGE_MAP(class, base) and END_MESSAGE_MAP(). Each entry names a
// message (or command, notification) and a member function; the entry's
// signature kind tells the dispatcher how to crack wParam and lParam. The
// macros check the handler's signature at compile time.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "mfc/geometry.h"
#include "mfc/object.h"

class CCmdTarget;
class CCmdUI;
class CDC;
class CMenu;
class CScrollBar;
class CWnd;

typedef void (CCmdTarget::*AFX_PMSG)();

// Reinterprets one pointer-to-member-function type as another (the entries
// keep every handler as AFX_PMSG and the dispatcher turns it back).
template <class To, class From>
inline To AfxPmCast(From f) {
  static_assert(sizeof(To) == sizeof(From), "member pointers of one size");
  To t;
  __builtin_memcpy(&t, &f, sizeof t);
  return t;
}

// Marks message handlers in class declarations.
#define afx_msg

// The pointer, hidden from the optimiser: the GetSafe... members test their
// own object for null, which the compiler would otherwise assume away.
template <class T>
inline T* AfxOpaque(T* p) {
  asm("" : "+r"(p));
  return p;
}

// Signature kinds of the entries.
enum AfxSig : UINT {
  AfxSig_end = 0,
  // Commands and notifications, dispatched by OnCmdMsg.
  AfxSig_Cmd,       // void ()
  AfxSig_CmdRange,  // void (UINT nID)
  AfxSig_CmdUI,     // void (CCmdUI*)
  AfxSig_Notify,    // void (NMHDR*, LRESULT*)
  // Window messages, dispatched by CWnd::OnWndMsg.
  AfxSig_Message,        // LRESULT (WPARAM, LPARAM)
  AfxSig_Void,           // void ()
  AfxSig_Create,         // int (LPCREATESTRUCT)
  AfxSig_Size,           // void (UINT nType, int cx, int cy)
  AfxSig_Sizing,         // void (UINT fwSide, LPRECT)
  AfxSig_Timer,          // void (UINT_PTR nIDEvent)
  AfxSig_Focus,          // void (CWnd* pOtherWnd)
  AfxSig_Key,            // void (UINT nChar, UINT nRepCnt, UINT nFlags)
  AfxSig_Mouse,          // void (UINT nFlags, CPoint)
  AfxSig_XButton,        // void (UINT nFlags, UINT nButton, CPoint)
  AfxSig_MouseWheel,     // BOOL (UINT nFlags, short zDelta, CPoint)
  AfxSig_Scroll,         // void (UINT nSBCode, UINT nPos, CScrollBar*)
  AfxSig_SetCursor,      // BOOL (CWnd*, UINT nHitTest, UINT message)
  AfxSig_ContextMenu,    // void (CWnd*, CPoint)
  AfxSig_CtlColor,       // HBRUSH (CDC*, CWnd*, UINT nCtlColor)
  AfxSig_DrawItem,       // void (int nIDCtl, LPDRAWITEMSTRUCT)
  AfxSig_MeasureItem,    // void (int nIDCtl, LPMEASUREITEMSTRUCT)
  AfxSig_InitMenuPopup,  // void (CMenu*, UINT nIndex, BOOL bSysMenu)
  AfxSig_GetDlgCode,     // UINT ()
  AfxSig_DropFiles,      // void (HDROP)
};

struct AFX_MSGMAP_ENTRY {
  UINT nMessage;  // window message, or WM_COMMAND / WM_NOTIFY
  UINT nCode;     // control notification code (16 bits) or CN_...
  UINT nID;       // first and last control or command id
  UINT nLastID;
  UINT_PTR nSig;  // AfxSig
  AFX_PMSG pfn;
};

struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;
};

// Finds the entry for a message, code and id in one table, or null.
const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP_ENTRY* lpEntry, UINT nMsg, UINT nCode, UINT nID);

// Codes of OnCmdMsg.
#define CN_COMMAND 0
#define CN_UPDATE_COMMAND_UI ((UINT)(-1))

// Extra data of a routed WM_NOTIFY.
struct AFX_NOTIFY {
  LRESULT* pResult;
  NMHDR* pNMHDR;
};

// Filled by OnCmdMsg instead of calling the handler.
struct AFX_CMDHANDLERINFO {
  CCmdTarget* pTarget;
  AFX_PMSG pmf;
};

#define DECLARE_MESSAGE_MAP()                   \
 protected:                                     \
  static const AFX_MSGMAP* GetThisMessageMap(); \
  const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                      \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
  const AFX_MSGMAP* theClass::GetThisMessageMap() {                                 \
    using ThisClass [[maybe_unused]] = theClass;                                    \
    using TheBaseClass = baseClass;                                                 \
    static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define END_MESSAGE_MAP()                                                                       \
  { 0, 0, 0, 0, AfxSig_end, nullptr }                                                           \
  }                                                                                             \
  ;                                                                                             \
  static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
  return &messageMap;                                                                           \
  }

class CCmdTarget : public CObject {
  DECLARE_DYNAMIC(CCmdTarget)

 public:
  CCmdTarget() = default;

  // Routes a command (nCode CN_COMMAND, CN_UPDATE_COMMAND_UI, or a control
  // notification packed as MAKELONG(code, WM_COMMAND or WM_NOTIFY)) through
  // this object's message map. With pHandlerInfo it only says whether a
  // handler exists and where.
  virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

  void BeginWaitCursor();
  void EndWaitCursor();
  void RestoreWaitCursor();

 protected:
  static const AFX_MSGMAP* GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const;
};

// Calls a command handler of the given signature kind.
BOOL AfxDispatchCmdMsg(CCmdTarget* pTarget, UINT nID, int nCode, AFX_PMSG pfn, void* pExtra, UINT_PTR nSig);

// The target of a command-update request: a menu item (m_pMenu, m_nIndex)
// or a window (m_pOther). Bars and menus derive their own.
class CCmdUI {
 public:
  CCmdUI() = default;
  virtual ~CCmdUI() = default;

  virtual void Enable(BOOL bOn = TRUE);
  virtual void SetCheck(int nCheck = 1);  // 0 off, 1 checked, 2 indeterminate
  virtual void SetRadio(BOOL bOn = TRUE);
  virtual void SetText(LPCSTR lpszText);
  void ContinueRouting() { m_bContinueRouting = TRUE; }

  // Asks the target's update handler; without one and with
  // bDisableIfNoHndler, disables the item unless a command handler exists.
  BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);

  UINT m_nID = 0;
  UINT m_nIndex = 0;
  CMenu* m_pMenu = nullptr;
  CMenu* m_pSubMenu = nullptr;
  CMenu* m_pParentMenu = nullptr;
  UINT m_nIndexMax = 0;
  CWnd* m_pOther = nullptr;
  BOOL m_bEnableChanged = FALSE;
  BOOL m_bContinueRouting = FALSE;
};

// Handler types, one per signature kind, used by the entry macros.
typedef LRESULT (CWnd::*AfxFn_Message)(WPARAM, LPARAM);
typedef void (CWnd::*AfxFn_Void)();
typedef int (CWnd::*AfxFn_Create)(LPCREATESTRUCT);
typedef void (CWnd::*AfxFn_Size)(UINT, int, int);
typedef void (CWnd::*AfxFn_Sizing)(UINT, LPRECT);
typedef void (CWnd::*AfxFn_Timer)(UINT_PTR);
typedef void (CWnd::*AfxFn_Focus)(CWnd*);
typedef void (CWnd::*AfxFn_Key)(UINT, UINT, UINT);
typedef void (CWnd::*AfxFn_Mouse)(UINT, CPoint);
typedef void (CWnd::*AfxFn_XButton)(UINT, UINT, CPoint);
typedef BOOL (CWnd::*AfxFn_MouseWheel)(UINT, short, CPoint);
typedef void (CWnd::*AfxFn_Scroll)(UINT, UINT, CScrollBar*);
typedef BOOL (CWnd::*AfxFn_SetCursor)(CWnd*, UINT, UINT);
typedef void (CWnd::*AfxFn_ContextMenu)(CWnd*, CPoint);
typedef HBRUSH (CWnd::*AfxFn_CtlColor)(CDC*, CWnd*, UINT);
typedef void (CWnd::*AfxFn_DrawItem)(int, LPDRAWITEMSTRUCT);
typedef void (CWnd::*AfxFn_MeasureItem)(int, LPMEASUREITEMSTRUCT);
typedef void (CWnd::*AfxFn_InitMenuPopup)(CMenu*, UINT, BOOL);
typedef UINT (CWnd::*AfxFn_GetDlgCode)();
typedef void (CWnd::*AfxFn_DropFiles)(HDROP);
typedef void (CCmdTarget::*AfxFn_CmdRange)(UINT);
typedef void (CCmdTarget::*AfxFn_CmdUI)(CCmdUI*);
typedef void (CCmdTarget::*AfxFn_Notify)(NMHDR*, LRESULT*);

#define AFX_ENTRY_FN_(type, fn) AfxPmCast<AFX_PMSG>(static_cast<type>(&ThisClass::fn))
#define AFX_WM_ENTRY_(msg, sig, type, fn) {msg, 0, 0, 0, sig, AFX_ENTRY_FN_(type, fn)},

// The old combined control-colour message; WM_CTLCOLOR... messages reach an
// ON_WM_CTLCOLOR entry with their kind in nCtlColor.
#define WM_CTLCOLOR 0x0019

#define ON_WM_CREATE() AFX_WM_ENTRY_(WM_CREATE, AfxSig_Create, AfxFn_Create, OnCreate)
#define ON_WM_DESTROY() AFX_WM_ENTRY_(WM_DESTROY, AfxSig_Void, AfxFn_Void, OnDestroy)
#define ON_WM_NCDESTROY() AFX_WM_ENTRY_(WM_NCDESTROY, AfxSig_Void, AfxFn_Void, OnNcDestroy)
#define ON_WM_CLOSE() AFX_WM_ENTRY_(WM_CLOSE, AfxSig_Void, AfxFn_Void, OnClose)
#define ON_WM_SIZE() AFX_WM_ENTRY_(WM_SIZE, AfxSig_Size, AfxFn_Size, OnSize)
#define ON_WM_SIZING() AFX_WM_ENTRY_(WM_SIZING, AfxSig_Sizing, AfxFn_Sizing, OnSizing)
#define ON_WM_EXITSIZEMOVE() AFX_WM_ENTRY_(WM_EXITSIZEMOVE, AfxSig_Void, AfxFn_Void, OnExitSizeMove)
#define ON_WM_PAINT() AFX_WM_ENTRY_(WM_PAINT, AfxSig_Void, AfxFn_Void, OnPaint)
#define ON_WM_TIMER() AFX_WM_ENTRY_(WM_TIMER, AfxSig_Timer, AfxFn_Timer, OnTimer)
#define ON_WM_SETFOCUS() AFX_WM_ENTRY_(WM_SETFOCUS, AfxSig_Focus, AfxFn_Focus, OnSetFocus)
#define ON_WM_KILLFOCUS() AFX_WM_ENTRY_(WM_KILLFOCUS, AfxSig_Focus, AfxFn_Focus, OnKillFocus)
#define ON_WM_KEYDOWN() AFX_WM_ENTRY_(WM_KEYDOWN, AfxSig_Key, AfxFn_Key, OnKeyDown)
#define ON_WM_KEYUP() AFX_WM_ENTRY_(WM_KEYUP, AfxSig_Key, AfxFn_Key, OnKeyUp)
#define ON_WM_CHAR() AFX_WM_ENTRY_(WM_CHAR, AfxSig_Key, AfxFn_Key, OnChar)
#define ON_WM_LBUTTONDOWN() AFX_WM_ENTRY_(WM_LBUTTONDOWN, AfxSig_Mouse, AfxFn_Mouse, OnLButtonDown)
#define ON_WM_LBUTTONUP() AFX_WM_ENTRY_(WM_LBUTTONUP, AfxSig_Mouse, AfxFn_Mouse, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() AFX_WM_ENTRY_(WM_LBUTTONDBLCLK, AfxSig_Mouse, AfxFn_Mouse, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() AFX_WM_ENTRY_(WM_RBUTTONDOWN, AfxSig_Mouse, AfxFn_Mouse, OnRButtonDown)
#define ON_WM_RBUTTONUP() AFX_WM_ENTRY_(WM_RBUTTONUP, AfxSig_Mouse, AfxFn_Mouse, OnRButtonUp)
#define ON_WM_RBUTTONDBLCLK() AFX_WM_ENTRY_(WM_RBUTTONDBLCLK, AfxSig_Mouse, AfxFn_Mouse, OnRButtonDblClk)
#define ON_WM_MBUTTONDOWN() AFX_WM_ENTRY_(WM_MBUTTONDOWN, AfxSig_Mouse, AfxFn_Mouse, OnMButtonDown)
#define ON_WM_MBUTTONUP() AFX_WM_ENTRY_(WM_MBUTTONUP, AfxSig_Mouse, AfxFn_Mouse, OnMButtonUp)
#define ON_WM_MBUTTONDBLCLK() AFX_WM_ENTRY_(WM_MBUTTONDBLCLK, AfxSig_Mouse, AfxFn_Mouse, OnMButtonDblClk)
#define ON_WM_XBUTTONDOWN() AFX_WM_ENTRY_(WM_XBUTTONDOWN, AfxSig_XButton, AfxFn_XButton, OnXButtonDown)
#define ON_WM_MOUSEMOVE() AFX_WM_ENTRY_(WM_MOUSEMOVE, AfxSig_Mouse, AfxFn_Mouse, OnMouseMove)
#define ON_WM_MOUSEWHEEL() AFX_WM_ENTRY_(WM_MOUSEWHEEL, AfxSig_MouseWheel, AfxFn_MouseWheel, OnMouseWheel)
#define ON_WM_HSCROLL() AFX_WM_ENTRY_(WM_HSCROLL, AfxSig_Scroll, AfxFn_Scroll, OnHScroll)
#define ON_WM_VSCROLL() AFX_WM_ENTRY_(WM_VSCROLL, AfxSig_Scroll, AfxFn_Scroll, OnVScroll)
#define ON_WM_SETCURSOR() AFX_WM_ENTRY_(WM_SETCURSOR, AfxSig_SetCursor, AfxFn_SetCursor, OnSetCursor)
#define ON_WM_CONTEXTMENU() AFX_WM_ENTRY_(WM_CONTEXTMENU, AfxSig_ContextMenu, AfxFn_ContextMenu, OnContextMenu)
#define ON_WM_CTLCOLOR() AFX_WM_ENTRY_(WM_CTLCOLOR, AfxSig_CtlColor, AfxFn_CtlColor, OnCtlColor)
#define ON_WM_DRAWITEM() AFX_WM_ENTRY_(WM_DRAWITEM, AfxSig_DrawItem, AfxFn_DrawItem, OnDrawItem)
#define ON_WM_MEASUREITEM() AFX_WM_ENTRY_(WM_MEASUREITEM, AfxSig_MeasureItem, AfxFn_MeasureItem, OnMeasureItem)
#define ON_WM_INITMENUPOPUP() \
  AFX_WM_ENTRY_(WM_INITMENUPOPUP, AfxSig_InitMenuPopup, AfxFn_InitMenuPopup, OnInitMenuPopup)
#define ON_WM_GETDLGCODE() AFX_WM_ENTRY_(WM_GETDLGCODE, AfxSig_GetDlgCode, AfxFn_GetDlgCode, OnGetDlgCode)
#define ON_WM_SYSCOLORCHANGE() AFX_WM_ENTRY_(WM_SYSCOLORCHANGE, AfxSig_Void, AfxFn_Void, OnSysColorChange)
#define ON_WM_DROPFILES() AFX_WM_ENTRY_(WM_DROPFILES, AfxSig_DropFiles, AfxFn_DropFiles, OnDropFiles)

#define ON_MESSAGE(message, memberFxn) AFX_WM_ENTRY_(message, AfxSig_Message, AfxFn_Message, memberFxn)

#define ON_COMMAND(id, memberFxn) \
  {WM_COMMAND, CN_COMMAND, (WORD)(id), (WORD)(id), AfxSig_Cmd, static_cast<AFX_PMSG>(&ThisClass::memberFxn)},
#define ON_COMMAND_RANGE(id, idLast, memberFxn) \
  {WM_COMMAND, CN_COMMAND, (WORD)(id), (WORD)(idLast), AfxSig_CmdRange, AFX_ENTRY_FN_(AfxFn_CmdRange, memberFxn)},
#define ON_UPDATE_COMMAND_UI(id, memberFxn) \
  {WM_COMMAND, CN_UPDATE_COMMAND_UI, (WORD)(id), (WORD)(id), AfxSig_CmdUI, AFX_ENTRY_FN_(AfxFn_CmdUI, memberFxn)},
#define ON_UPDATE_COMMAND_UI_RANGE(id, idLast, memberFxn) \
  {WM_COMMAND, CN_UPDATE_COMMAND_UI, (WORD)(id), (WORD)(idLast), AfxSig_CmdUI, AFX_ENTRY_FN_(AfxFn_CmdUI, memberFxn)},
#define ON_NOTIFY(wNotifyCode, id, memberFxn) \
  {WM_NOTIFY, (WORD)(int)(wNotifyCode), (WORD)(id), (WORD)(id), AfxSig_Notify, AFX_ENTRY_FN_(AfxFn_Notify, memberFxn)},
#define ON_NOTIFY_RANGE(wNotifyCode, id, idLast, memberFxn) \
  {WM_NOTIFY,     (WORD)(int)(wNotifyCode),                 \
   (WORD)(id),    (WORD)(idLast),                           \
   AfxSig_Notify, AFX_ENTRY_FN_(AfxFn_Notify, memberFxn)},
#define ON_CONTROL(wNotifyCode, id, memberFxn) \
  {WM_COMMAND, (WORD)(wNotifyCode), (WORD)(id), (WORD)(id), AfxSig_Cmd, static_cast<AFX_PMSG>(&ThisClass::memberFxn)},
#define ON_CONTROL_RANGE(wNotifyCode, id, idLast, memberFxn) \
  {WM_COMMAND,     (WORD)(wNotifyCode), (WORD)(id),          \
   (WORD)(idLast), AfxSig_CmdRange,     AFX_ENTRY_FN_(AfxFn_CmdRange, memberFxn)},

#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_CBN_EDITCHANGE(id, memberFxn) ON_CONTROL(CBN_EDITCHANGE, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_SELENDOK(id, memberFxn) ON_CONTROL(CBN_SELENDOK, id, memberFxn)
#define ON_CBN_CLOSEUP(id, memberFxn) ON_CONTROL(CBN_CLOSEUP, id, memberFxn)
#define ON_CBN_SETFOCUS(id, memberFxn) ON_CONTROL(CBN_SETFOCUS, id, memberFxn)
#define ON_CBN_KILLFOCUS(id, memberFxn) ON_CONTROL(CBN_KILLFOCUS, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
