// Window objects. A CWnd is a C++ object that may own a peer QWidget (the
// peer plays the window handle's part): it can exist without a window, be
// created hidden, destroyed and created again. Qt events reach the object as
// the window messages and handlers the program's code is written against;
// SendMessage calls the window procedure at once, PostMessage queues.
#pragma once

#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/cmdtarget.h"
#include "platform/gui/dc.h"
#include "platform/gui/gdi.h"
#include "platform/gui/keys.h"
#include "platform/styles.h"

using UINT = unsigned int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using HWND = QWidget*;
using HCURSOR = const QCursor*;

constexpr unsigned LOWORD(std::uintptr_t v) {
  return static_cast<unsigned>(v & 0xFFFF);
}
constexpr unsigned HIWORD(std::uintptr_t v) {
  return static_cast<unsigned>((v >> 16) & 0xFFFF);
}
constexpr LPARAM MAKELPARAM(int lo, int hi) {
  return static_cast<LPARAM>(static_cast<std::uint32_t>((lo & 0xFFFF) | ((hi & 0xFFFF) << 16)));
}
constexpr WPARAM MAKEWPARAM(unsigned lo, unsigned hi) {
  return static_cast<WPARAM>((lo & 0xFFFF) | ((hi & 0xFFFF) << 16));
}
constexpr int GET_X_LPARAM(LPARAM l) {
  return static_cast<short>(l & 0xFFFF);
}
constexpr int GET_Y_LPARAM(LPARAM l) {
  return static_cast<short>((l >> 16) & 0xFFFF);
}

inline constexpr UINT WM_NULL = 0x0000;
inline constexpr UINT WM_CREATE = 0x0001;
inline constexpr UINT WM_DESTROY = 0x0002;
inline constexpr UINT WM_MOVE = 0x0003;
inline constexpr UINT WM_SIZE = 0x0005;
inline constexpr UINT WM_ACTIVATE = 0x0006;
inline constexpr UINT WM_SETFOCUS = 0x0007;
inline constexpr UINT WM_KILLFOCUS = 0x0008;
inline constexpr UINT WM_ENABLE = 0x000A;
inline constexpr UINT WM_SETREDRAW = 0x000B;
inline constexpr UINT WM_SETTEXT = 0x000C;
inline constexpr UINT WM_GETTEXT = 0x000D;
inline constexpr UINT WM_GETTEXTLENGTH = 0x000E;
inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_ERASEBKGND = 0x0014;
inline constexpr UINT WM_SYSCOLORCHANGE = 0x0015;
inline constexpr UINT WM_SHOWWINDOW = 0x0018;
inline constexpr UINT WM_SETTINGCHANGE = 0x001A;
inline constexpr UINT WM_SETCURSOR = 0x0020;
inline constexpr UINT WM_MOUSEACTIVATE = 0x0021;
inline constexpr UINT WM_GETMINMAXINFO = 0x0024;
inline constexpr UINT WM_DRAWITEM = 0x002B;
inline constexpr UINT WM_MEASUREITEM = 0x002C;
inline constexpr UINT WM_SETFONT = 0x0030;
inline constexpr UINT WM_GETFONT = 0x0031;
inline constexpr UINT WM_NOTIFY = 0x004E;
inline constexpr UINT WM_HELP = 0x0053;
inline constexpr UINT WM_CONTEXTMENU = 0x007B;
inline constexpr UINT WM_GETDLGCODE = 0x0087;
inline constexpr UINT WM_KEYDOWN = 0x0100;
inline constexpr UINT WM_KEYUP = 0x0101;
inline constexpr UINT WM_CHAR = 0x0102;
inline constexpr UINT WM_SYSKEYDOWN = 0x0104;
inline constexpr UINT WM_SYSKEYUP = 0x0105;
inline constexpr UINT WM_SYSCHAR = 0x0106;
inline constexpr UINT WM_INITDIALOG = 0x0110;
inline constexpr UINT WM_COMMAND = 0x0111;
inline constexpr UINT WM_TIMER = 0x0113;
inline constexpr UINT WM_HSCROLL = 0x0114;
inline constexpr UINT WM_VSCROLL = 0x0115;
inline constexpr UINT WM_MOUSEMOVE = 0x0200;
inline constexpr UINT WM_LBUTTONDOWN = 0x0201;
inline constexpr UINT WM_LBUTTONUP = 0x0202;
inline constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
inline constexpr UINT WM_RBUTTONDOWN = 0x0204;
inline constexpr UINT WM_RBUTTONUP = 0x0205;
inline constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
inline constexpr UINT WM_MBUTTONDOWN = 0x0207;
inline constexpr UINT WM_MBUTTONUP = 0x0208;
inline constexpr UINT WM_MBUTTONDBLCLK = 0x0209;
inline constexpr UINT WM_MOUSEWHEEL = 0x020A;
inline constexpr UINT WM_CAPTURECHANGED = 0x0215;
inline constexpr UINT WM_CANCELMODE = 0x001F;
inline constexpr UINT WM_MOUSELEAVE = 0x02A3;
inline constexpr UINT WM_CLEAR = 0x0303;
inline constexpr UINT WM_USER = 0x0400;
inline constexpr UINT WM_APP = 0x8000;
inline constexpr UINT BM_GETCHECK = 0x00F0;
inline constexpr UINT BM_SETCHECK = 0x00F1;
inline constexpr UINT BM_GETSTATE = 0x00F2;
inline constexpr UINT BM_SETSTATE = 0x00F3;
inline constexpr UINT BM_SETSTYLE = 0x00F4;
inline constexpr UINT BM_CLICK = 0x00F5;

// Mouse key flags, hit test, show commands, notifications.
inline constexpr UINT MK_LBUTTON = 0x1;
inline constexpr UINT MK_RBUTTON = 0x2;
inline constexpr UINT MK_SHIFT = 0x4;
inline constexpr UINT MK_CONTROL = 0x8;
inline constexpr UINT MK_MBUTTON = 0x10;
inline constexpr UINT HTCLIENT = 1;
inline constexpr UINT SIZE_RESTORED = 0;
inline constexpr UINT SIZE_MINIMIZED = 1;
inline constexpr UINT SIZE_MAXIMIZED = 2;
inline constexpr UINT SW_HIDE = 0;
inline constexpr UINT SW_SHOWNORMAL = 1;
inline constexpr UINT SW_SHOW = 5;
inline constexpr UINT SW_SHOWNA = 8;
inline constexpr UINT SW_SHOWNOACTIVATE = 4;
inline constexpr UINT SW_MINIMIZE = 6;
inline constexpr UINT SW_MAXIMIZE = 3;
inline constexpr UINT SW_RESTORE = 9;
inline constexpr UINT SWP_NOSIZE = 0x1;
inline constexpr UINT SWP_NOMOVE = 0x2;
inline constexpr UINT SWP_NOZORDER = 0x4;
inline constexpr UINT SWP_NOREDRAW = 0x8;
inline constexpr UINT SWP_NOACTIVATE = 0x10;
inline constexpr UINT SWP_FRAMECHANGED = 0x20;
inline constexpr UINT SWP_SHOWWINDOW = 0x40;
inline constexpr UINT SWP_HIDEWINDOW = 0x80;
inline constexpr UINT RDW_INVALIDATE = 0x1;
inline constexpr UINT RDW_ERASE = 0x4;
inline constexpr UINT RDW_ALLCHILDREN = 0x80;
inline constexpr UINT RDW_UPDATENOW = 0x100;
inline constexpr UINT RDW_FRAME = 0x400;
inline constexpr UINT DLGC_WANTARROWS = 0x1;
inline constexpr UINT DLGC_WANTTAB = 0x2;
inline constexpr UINT DLGC_WANTALLKEYS = 0x4;
inline constexpr UINT DLGC_WANTMESSAGE = 0x4;
inline constexpr UINT DLGC_HASSETSEL = 0x8;
inline constexpr UINT DLGC_DEFPUSHBUTTON = 0x10;
inline constexpr UINT DLGC_UNDEFPUSHBUTTON = 0x20;
inline constexpr UINT DLGC_RADIOBUTTON = 0x40;
inline constexpr UINT DLGC_WANTCHARS = 0x80;
inline constexpr UINT DLGC_STATIC = 0x100;
inline constexpr UINT DLGC_BUTTON = 0x2000;
inline constexpr UINT BN_CLICKED = 0;
inline constexpr UINT BN_DOUBLECLICKED = 5;
inline constexpr UINT BN_SETFOCUS = 6;
inline constexpr UINT BN_KILLFOCUS = 7;
inline constexpr UINT STN_CLICKED = 0;
inline constexpr UINT EN_SETFOCUS = 0x100;
inline constexpr UINT EN_KILLFOCUS = 0x200;
inline constexpr UINT EN_CHANGE = 0x300;
inline constexpr UINT EN_UPDATE = 0x400;
inline constexpr UINT CBN_SELCHANGE = 1;
inline constexpr UINT CBN_DBLCLK = 2;
inline constexpr UINT CBN_SETFOCUS = 3;
inline constexpr UINT CBN_KILLFOCUS = 4;
inline constexpr UINT CBN_EDITCHANGE = 5;
inline constexpr UINT CBN_DROPDOWN = 7;
inline constexpr UINT CBN_CLOSEUP = 8;
inline constexpr UINT CBN_SELENDOK = 9;
inline constexpr UINT LBN_SELCHANGE = 1;
inline constexpr UINT LBN_DBLCLK = 2;
inline constexpr UINT BST_UNCHECKED = 0;
inline constexpr UINT BST_CHECKED = 1;
inline constexpr UINT BST_INDETERMINATE = 2;
inline constexpr UINT BST_PUSHED = 4;
inline constexpr UINT BST_FOCUS = 8;

struct NMHDR {
  HWND hwndFrom = nullptr;
  UINT_PTR idFrom = 0;
  UINT code = 0;
};

// The window a message is for and its arguments, as PreTranslateMessage sees it.
struct MSG {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  // Key messages: the modifier keys held when the key was typed. A message
  // may be handled after they were let go, so read them here, not from the
  // keyboard.
  Qt::KeyboardModifiers keyModifiers = {};
};

struct CREATESTRUCT {
  std::string name;  // window text
  std::string className;
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  int x = 0, y = 0, cx = 0, cy = 0;
  int id = 0;
};

// The cursors every window can ask for.
inline constexpr int IDC_ARROW = 32512;
inline constexpr int IDC_IBEAM = 32513;
inline constexpr int IDC_WAIT = 32514;
inline constexpr int IDC_CROSS = 32515;
inline constexpr int IDC_UPARROW = 32516;
inline constexpr int IDC_SIZENWSE = 32642;
inline constexpr int IDC_SIZENESW = 32643;
inline constexpr int IDC_SIZEWE = 32644;
inline constexpr int IDC_SIZENS = 32645;
inline constexpr int IDC_SIZEALL = 32646;
inline constexpr int IDC_NO = 32648;
inline constexpr int IDC_HAND = 32649;
inline constexpr int IDC_APPSTARTING = 32650;
// A standard cursor (IDC_*) or one registered under a resource id.
HCURSOR LoadCursor(void* instance, int id);
// Sets the cursor of the window that is answering WM_SETCURSOR (or else the
// window under the mouse); returns the previous one.
HCURSOR SetCursor(HCURSOR cursor);
namespace fw {
void RegisterCursor(int id, const QCursor& cursor);
}

class CWnd;
CWnd* GetCapture();
[[nodiscard]] bool ReleaseCapture();
namespace fw {
// Called before a modal loop runs (message box, dialog, tracked pop-up
// menu): the window holding the mouse and the focus window get
// WM_CANCELMODE, and the capture is given up, so the loop gets the clicks
// and no press, drag or selection is left half done behind it.
void CancelModeForModal();

// Every modal loop runs inside one: dialogs, message boxes, file prompts,
// Qt's own dialogs, tracked pop-up menus, a wait on another program. Before
// the loop the mouse mode is cancelled (CancelModeForModal); after it the
// window the loop belongs to is active again with the focus where it was
// (where it was before the menu, when the menu bar held the keyboard: the
// loop ends the menu mode), as the system gives them back to an owner when
// the window in front of it goes. Qt leaves that to the window manager,
// which may activate no window, and a window that is not active takes no
// shortcut. A window the loop's end activated on purpose keeps the activation.
class ModalScope {
 public:
  ModalScope();
  ~ModalScope();
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;
  // The window the loop belongs to (the owner of a box): the active one, or
  // the modal window that blocks it.
  QWidget* ActiveWindow() const { return m_window; }

 private:
  QPointer<QWidget> m_window;
  QPointer<QWidget> m_focus;
};

// How many modal loops have begun: a handler that sees the count change
// while it ran knows that a loop took the input in between (a press whose
// release went to a box).
unsigned ModalLoopsBegun();
}  // namespace fw
UINT RegisterWindowMessage(const std::string& name);
bool TrackMouseEvent(CWnd* wnd);  // WM_MOUSELEAVE arrives anyway; kept for readability

class CWnd : public CCmdTarget {
 public:
  CWnd();
  virtual ~CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  // ---- creation
  // A child window when parent is given and WS_POPUP is not set, else a
  // top-level window. The peer is hidden unless WS_VISIBLE.
  [[nodiscard]] virtual bool Create(const std::string& className, const std::string& text,
                                    std::uint32_t style, const CRect& rect, CWnd* parent, int id);
  [[nodiscard]] bool CreateEx(std::uint32_t exStyle, const std::string& className,
                              const std::string& text, std::uint32_t style, const CRect& rect,
                              CWnd* parent, int id);
  [[nodiscard]] virtual bool DestroyWindow();
  // Attaches this object to an existing peer (a control a template made).
  [[nodiscard]] bool SubclassWindow(HWND widget);
  [[nodiscard]] bool SubclassDlgItem(int id, CWnd* parent);
  HWND UnsubclassWindow();

  HWND GetSafeHwnd() const { return m_peer.data(); }
  QWidget* widget() const { return m_peer.data(); }
  bool IsWindow() const { return !m_peer.isNull(); }
  // The object attached to a peer, or to its nearest ancestor that has one.
  static CWnd* FromHandle(HWND widget);
  static CWnd* FromHandlePermanent(HWND widget);

  // ---- identity and tree
  int GetDlgCtrlID() const;
  int SetDlgCtrlID(int id);
  CWnd* GetDlgItem(int id) const;
  CWnd* GetParent() const;
  CWnd* SetParent(CWnd* parent);
  CWnd* GetTopLevelParent() const;
  std::vector<CWnd*> GetChildren() const;

  // ---- state
  bool ShowWindow(int cmd);
  bool IsWindowVisible() const;
  bool EnableWindow(bool enable = true);
  bool IsWindowEnabled() const;
  void MoveWindow(int x, int y, int cx, int cy, bool repaint = true);
  void MoveWindow(const CRect& r, bool repaint = true) {
    MoveWindow(r.left, r.top, r.Width(), r.Height(), repaint);
  }
  bool SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
  void GetClientRect(CRect* r) const;
  void GetWindowRect(CRect* r) const;  // screen coordinates
  void ClientToScreen(CPoint* p) const;
  void ClientToScreen(CRect* r) const;
  void ScreenToClient(CPoint* p) const;
  void ScreenToClient(CRect* r) const;
  void CenterWindow(CWnd* alternateOwner = nullptr);
  void BringWindowToTop();
  bool SetForegroundWindow();

  void SetWindowText(const std::string& text);
  std::string GetWindowText() const;
  int GetWindowTextLength() const { return static_cast<int>(GetWindowText().size()); }
  void SetDlgItemText(int id, const std::string& text);
  std::string GetDlgItemText(int id) const;
  void SetDlgItemInt(int id, int value, bool isSigned = true);
  int GetDlgItemInt(int id, bool* ok = nullptr, bool isSigned = true) const;
  void CheckDlgButton(int id, UINT check);
  UINT IsDlgButtonChecked(int id) const;
  void CheckRadioButton(int first, int last, int check);
  int GetCheckedRadioButton(int first, int last) const;
  CWnd* GetNextDlgGroupItem(CWnd* control, bool previous = false) const;

  std::uint32_t GetStyle() const { return m_style; }
  std::uint32_t GetExStyle() const { return m_exStyle; }
  bool ModifyStyle(std::uint32_t remove, std::uint32_t add, UINT flags = 0);
  bool ModifyStyleEx(std::uint32_t remove, std::uint32_t add, UINT flags = 0);

  void SetFont(CFont* font, bool redraw = true);
  CFont* GetFont() const;

  // ---- painting
  void Invalidate(bool erase = true);
  void InvalidateRect(const CRect* r, bool erase = true);
  void ValidateRect(const CRect*) {}
  void UpdateWindow();
  bool RedrawWindow(const CRect* r = nullptr, void* region = nullptr,
                    UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
  void SetRedraw(bool redraw = true);
  void ScrollWindow(int dx, int dy, const CRect* scroll = nullptr, const CRect* clip = nullptr);
  // The update rectangle of the paint in progress (client coordinates).
  const CRect& PaintRect() const { return m_paintRect; }

  // ---- focus, timers, capture
  CWnd* SetFocus();
  static CWnd* GetFocus();
  UINT_PTR SetTimer(UINT_PTR id, UINT elapseMs, void* unused = nullptr);
  bool KillTimer(UINT_PTR id);
  CWnd* SetCapture();

  // ---- messages
  LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  [[nodiscard]] bool PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  // A message-map entry: ON_MESSAGE / ON_REGISTERED_MESSAGE.
  void SetMessageHandler(UINT msg, std::function<LRESULT(WPARAM, LPARAM)> handler);
  // Sends WM_COMMAND (id, code) from this control to its parent.
  void NotifyParent(UINT code);

  // Entry point of the window procedure (also for the layer's own dispatch).
  LRESULT CallWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    return WindowProc(msg, wParam, lParam);
  }
  // Called for every input message before it is dispatched, on the target
  // and then on each parent up to the top level; true swallows the message.
  virtual bool PreTranslateMessage(MSG* msg);
  // Whether this top-level window takes the key before the focused window
  // inside it sees it (a frame's accelerators and menu keys): such a key
  // wins over a window that wants all keys.
  virtual bool TranslatesKey(QKeyCombination key) const;

 protected:
  virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
  virtual LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
  // The default handling of the message being handled: for a Qt event, the
  // peer widget's own handling, done after the handler returns.
  LRESULT Default();

  virtual bool PreCreateWindow(CREATESTRUCT& cs);
  // The peer widget of this kind of window; owned by parent (or top level).
  virtual QWidget* CreatePeer(QWidget* parent, const CREATESTRUCT& cs);
  // After a peer is attached (created or subclassed).
  virtual void PreSubclassWindow() {}
  // After the peer is gone.
  virtual void PostNcDestroy() {}
  // Applies a style change to the peer (controls map bits to Qt settings).
  virtual void ApplyStyle() {}

  virtual bool OnCommand(WPARAM wParam, LPARAM lParam);
  virtual bool OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);

  virtual int OnCreate(CREATESTRUCT* cs);
  virtual void OnDestroy();
  virtual void OnPaint();
  virtual bool OnEraseBkgnd(CDC* dc);
  virtual void OnSize(UINT type, int cx, int cy);
  virtual void OnMove(int x, int y);
  virtual void OnLButtonDown(UINT flags, CPoint point);
  virtual void OnLButtonUp(UINT flags, CPoint point);
  virtual void OnLButtonDblClk(UINT flags, CPoint point);
  virtual void OnRButtonDown(UINT flags, CPoint point);
  virtual void OnRButtonUp(UINT flags, CPoint point);
  virtual void OnRButtonDblClk(UINT flags, CPoint point);
  virtual void OnMButtonDown(UINT flags, CPoint point);
  virtual void OnMButtonUp(UINT flags, CPoint point);
  virtual void OnMouseMove(UINT flags, CPoint point);
  virtual bool OnMouseWheel(UINT flags, short delta, CPoint screenPoint);
  virtual void OnMouseLeave();
  virtual void OnKeyDown(UINT vk, UINT repeat, UINT flags);
  virtual void OnKeyUp(UINT vk, UINT repeat, UINT flags);
  virtual void OnSysKeyDown(UINT vk, UINT repeat, UINT flags);
  virtual void OnSysKeyUp(UINT vk, UINT repeat, UINT flags);
  virtual void OnChar(UINT ch, UINT repeat, UINT flags);
  virtual void OnTimer(UINT_PTR id);
  virtual void OnSetFocus(CWnd* oldWnd);
  virtual void OnKillFocus(CWnd* newWnd);
  virtual bool OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
  virtual UINT OnGetDlgCode();
  virtual void OnClose();
  virtual void OnShowWindow(bool show, UINT status);
  virtual void OnContextMenu(CWnd* wnd, CPoint screenPoint);
  virtual void OnSysColorChange();
  virtual void OnCaptureChanged(CWnd* wnd);
  // Stops what the mouse started; by default gives up the capture if held.
  virtual void OnCancelMode();

  // Puts a new peer in the place of the current one (same parent, id,
  // geometry, text, visibility, tab position) and deletes the old one: for
  // controls that take over painting and input completely.
  bool ReplacePeer(QWidget* replacement);

  // The class background for WM_ERASEBKGND (COLOR_WINDOW unless changed).
  int m_backgroundColourIndex = COLOR_WINDOW;

 private:
  friend class CWndHub;
  friend class CPaintDC;
  friend class CDialog;
  bool AttachPeer(QWidget* widget, bool owned);
  void DetachPeer();
  void StoreStyle();
  bool HandleQtEvent(QObject* target, QEvent* e);
  bool DispatchInput(UINT msg, WPARAM w, LPARAM l);
  void FireTimer(UINT_PTR id);

  QPointer<QWidget> m_peer;
  bool m_ownsPeer = false;
  std::uint32_t m_style = 0;
  std::uint32_t m_exStyle = 0;
  CFont* m_font = nullptr;
  bool m_eraseNeeded = true;
  CRect m_paintRect;
  std::map<UINT_PTR, std::unique_ptr<QObject>> m_timers;
  std::map<UINT, std::function<LRESULT(WPARAM, LPARAM)>> m_messageHandlers;
  // Wrappers made for children that have no object of their own.
  mutable std::map<QWidget*, std::unique_ptr<CWnd>> m_temporaries;
  std::shared_ptr<bool> m_alive;
  std::uint64_t m_handle = 0;

  struct Current {
    UINT msg = 0;
    bool fromQt = false;
    bool defaultRequested = false;
    WPARAM w = 0;
    LPARAM l = 0;
  };
  Current m_current;
};

// A DC for painting a window inside OnPaint (BeginPaint/EndPaint). It sends
// WM_ERASEBKGND first when the window was invalidated with erase.
class CPaintDC : public CDC {
 public:
  explicit CPaintDC(CWnd* wnd);
  ~CPaintDC() override;
  struct {
    CRect rcPaint;
    bool fErase = false;
  } m_ps;

 private:
  std::unique_ptr<QPainter> m_own;
};

// A DC for measuring text in a window's font outside painting. Qt paints
// only inside paint events, so drawing through it does nothing.
class CClientDC : public CDC {
 public:
  explicit CClientDC(CWnd* wnd);
};
using CWindowDC = CClientDC;

namespace fw {

// The peer widget of windows that paint themselves: opaque paint events,
// mouse tracking, click focus.
class CPeerWidget : public QWidget {
 public:
  explicit CPeerWidget(QWidget* parent, Qt::WindowFlags flags = {});
};

// Makes a visible top-level window the active one, with the keyboard focus
// on `focus` when that is a visible, enabled child of it (else where the
// window last had it).
void ActivateWindow(QWidget* window, QWidget* focus = nullptr);

// After a menu item was chosen: Qt leaves the menu bar with the focus but
// out of its keyboard mode when that mode began on the bar itself (a menu's
// letter typed while the bar was active), where it takes no key; the focus
// goes back to the window that had it before the menu.
void LeaveIdleMenuBar();

// Gives the activation back to `window` when a window in front of it went
// or a modal loop ended. A window that a modal window still blocks cannot
// take it: the modal window keeps it (an operation's window closing while a
// dialog runs leaves the dialog active, not its blocked owner).
void ReturnActivation(QWidget* window, QWidget* focus = nullptr);

// Window classes by name, for controls of dialog templates whose class is
// not a standard one. The factory makes the object; its CreatePeer makes the widget.
void RegisterWindowClass(const std::string& name, std::function<std::unique_ptr<CWnd>()> factory);
[[nodiscard]] std::unique_ptr<CWnd> MakeRegisteredWindow(const std::string& name);
// The object for a template control: a standard control class, a registered
// class, or a plain window.
[[nodiscard]] std::unique_ptr<CWnd> MakeWindowOfClass(const std::string& name);

// Number of Qt events being dispatched into window objects right now; a peer
// destroyed meanwhile is deleted later, not under the running handler.
int DispatchDepth();

// Pixels of dialog units in a font: base units as the dialog manager computes them.
CSize DialogBaseUnits(const QFont& font);

}  // namespace fw
