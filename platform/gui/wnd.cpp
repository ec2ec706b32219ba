#include "platform/gui/wnd.h"

#include <QAbstractButton>
#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDialog>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QMoveEvent>
#include <QPaintEvent>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QWheelEvent>
#include <atomic>
#include <deque>
#include <mutex>
#include <optional>
#include <utility>

#include "platform/gui/pump.h"
#include "platform/gui/qtstring.h"
#include "platform/text.h"

namespace {

// Keys a text editor answers itself (copy, cut, paste, undo, redo, select all).
bool IsTextEditKey(const QWidget* w, const QKeyEvent* ke) {
  const auto* line = qobject_cast<const QLineEdit*>(w);
  const auto* text = qobject_cast<const QPlainTextEdit*>(w);
  if (!line && !text) return false;
  for (QKeySequence::StandardKey k :
       {QKeySequence::Copy, QKeySequence::Cut, QKeySequence::Paste, QKeySequence::Undo,
        QKeySequence::Redo, QKeySequence::SelectAll})
    if (ke->matches(k)) return true;
  return false;
}

const char* const kWndProperty = "fw_wnd";
const char* const kIdProperty = "fw_id";

int g_dispatchDepth = 0;

UINT MouseFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods) {
  UINT f = 0;
  if (buttons & Qt::LeftButton) f |= MK_LBUTTON;
  if (buttons & Qt::RightButton) f |= MK_RBUTTON;
  if (buttons & Qt::MiddleButton) f |= MK_MBUTTON;
  if (mods & Qt::ShiftModifier) f |= MK_SHIFT;
  if (mods & Qt::ControlModifier) f |= MK_CONTROL;
  return f;
}

// The message a key event becomes and its lParam (repeat count 1, scan code,
// extended, Alt, previous state and transition bits).
UINT KeyMessage(const QKeyEvent* ke, bool press) {
  const bool alt = ke->modifiers() & Qt::AltModifier;
  return press ? (alt ? WM_SYSKEYDOWN : WM_KEYDOWN) : (alt ? WM_SYSKEYUP : WM_KEYUP);
}

LPARAM KeyLParam(const QKeyEvent* ke, bool press) {
  UINT flags = static_cast<UINT>(ke->nativeScanCode() & 0xFF);
  if (ke->modifiers() & Qt::KeypadModifier) flags |= 0x100;  // extended key
  if (ke->modifiers() & Qt::AltModifier) flags |= 0x2000;
  if (ke->isAutoRepeat()) flags |= 0x4000;  // previous key state: down
  if (!press) flags |= 0xC000;
  return MAKELPARAM(1, static_cast<int>(flags));
}

// The window a key arriving at `w` was typed into: the window object of the
// widget that has the focus in its top-level window (or of the top-level
// window while nothing in it has the focus), when `w` is that widget. Null
// for a key that only passes `w` on its way up to the parents, or that the
// program handed to `w` itself, as a message sent to a window is not
// translated.
CWnd* TypedInto(QWidget* w) {
  QWidget* focus = w->window()->focusWidget();
  if (focus ? focus != w : !w->isWindow()) return nullptr;
  CWnd* target = CWnd::FromHandle(w);
  return target && target->widget() ? target : nullptr;
}

// PreTranslateMessage of the window and of each parent up to its top-level
// window; true when one of them took the message.
bool OfferKey(CWnd* target, MSG* m) {
  for (CWnd* c = target; c;) {
    QPointer<QWidget> peer = c->widget();
    if (c->PreTranslateMessage(m)) return true;
    if (!peer) return true;  // the window went: nothing is left to take the key
    if (peer->isWindow()) break;
    c = CWnd::FromHandle(peer->parentWidget());
  }
  return false;
}

MSG KeyMsg(CWnd* target, UINT message, WPARAM w, LPARAM l, const QKeyEvent* ke) {
  MSG m{target->widget(), message, w, l};
  m.keyModifiers = ke->modifiers();
  return m;
}

// A message loop offers every key message to PreTranslateMessage of the
// focus window and of each parent up to the top-level window before
// anything else sees it: before shortcuts, before the dialog manager's Tab,
// Enter and Esc, before the control. This filter is the one route that does
// it, once for each message of a key typed into a window: the key down or up
// at the first event Qt sends for it there (ShortcutOverride for a press,
// else the key event itself), and the character a press makes after the
// window handled its key down (OfferChar, from the window's own dispatch).
class CKeyRoute : public QObject {
 public:
  bool eventFilter(QObject* obj, QEvent* e) override {
    const QEvent::Type type = e->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress && type != QEvent::KeyRelease)
      return false;
    auto* w = qobject_cast<QWidget*>(obj);
    CWnd* target = w ? TypedInto(w) : nullptr;
    if (!target) return false;
    // Input a pump holds back is not the focus window's to see.
    if (fw::PumpFilterActive() && e->spontaneous() && !fw::PumpAllows(w)) return false;
    auto* ke = static_cast<QKeyEvent*>(e);
    const bool press = type != QEvent::KeyRelease;
    const Stroke stroke{ke->key(), ke->modifiers(), ke->timestamp(), ke->isAutoRepeat()};
    // Qt asks about a press twice: as ShortcutOverride, then as the press
    // itself unless a shortcut took it. It is offered at the first.
    const auto pending = std::exchange(m_override, std::nullopt);
    bool eaten = false;
    if (type == QEvent::KeyPress && pending && pending->first == stroke) {
      eaten = pending->second;
    } else {
      const unsigned vk = fw::VirtualKeyFromQt(ke->key(), ke->modifiers());
      if (vk == 0) return false;
      MSG m = KeyMsg(target, KeyMessage(ke, press), vk, KeyLParam(ke, press), ke);
      eaten = OfferKey(target, &m);
    }
    if (type == QEvent::ShortcutOverride) {
      m_override = std::make_pair(stroke, eaten);
      if (eaten) e->accept();  // no shortcut takes it, and the press that follows is eaten
    }
    return eaten;
  }

  // The WM_CHAR of a press typed into `wnd`, before `wnd` gets it; true
  // when a window took it.
  static bool OfferChar(CWnd* wnd, WPARAM ch, LPARAM l, const QKeyEvent* ke) {
    MSG m = KeyMsg(wnd, WM_CHAR, ch, l, ke);
    return OfferKey(wnd, &m);
  }

 private:
  struct Stroke {
    int key;
    Qt::KeyboardModifiers mods;
    quint64 timestamp;
    bool repeat;
    bool operator==(const Stroke&) const = default;
  };

  std::optional<std::pair<Stroke, bool>> m_override;
};

}  // namespace

// ---- the hub: event filter, focus pairs, posted messages, registries ---------

class CWndHub : public QObject {
 public:
  static CWndHub& Get() {
    static CWndHub* hub = [] {
      auto* h = new CWndHub();
      if (QCoreApplication::instance()) h->moveToThread(QCoreApplication::instance()->thread());
      return h;
    }();
    hub->Connect();
    return *hub;
  }

  bool eventFilter(QObject* obj, QEvent* e) override {
    auto* w = qobject_cast<QWidget*>(obj);
    if (!w) return false;
    CWnd* wnd = CWnd::FromHandlePermanent(w);
    if (!wnd || wnd->widget() != w) return false;
    return wnd->HandleQtEvent(obj, e);
  }

  struct Posted {
    std::uint64_t handle;
    UINT msg;
    WPARAM w;
    LPARAM l;
  };

  class PostedEvent : public QEvent {
   public:
    explicit PostedEvent(Posted p) : QEvent(Type()), posted(p) {}
    static QEvent::Type Type() {
      static int t = QEvent::registerEventType();
      return static_cast<QEvent::Type>(t);
    }
    Posted posted;
  };

  bool event(QEvent* e) override {
    if (e->type() == PostedEvent::Type()) {
      Deliver(static_cast<PostedEvent*>(e)->posted);
      return true;
    }
    return QObject::event(e);
  }

  void Deliver(const Posted& p) {
    CWnd* wnd = Lookup(p.handle);
    if (!wnd) return;  // the window is gone: the message is dropped
    if (fw::PumpFilterActive() && !fw::PumpAllows(wnd->widget())) {
      // Held back while a pump serves another window, as a queue filtered
      // by window leaves other windows' messages waiting.
      m_deferred.push_back(p);
      return;
    }
    wnd->CallWindowProc(p.msg, p.w, p.l);
  }

  void ReleaseDeferred() {
    std::deque<Posted> pending;
    pending.swap(m_deferred);
    for (const Posted& p : pending) QCoreApplication::postEvent(this, new PostedEvent(p));
  }

  std::uint64_t Register(CWnd* wnd) {
    std::lock_guard lock(m_mutex);
    std::uint64_t h = ++m_nextHandle;
    m_handles[h] = wnd;
    return h;
  }
  void Unregister(std::uint64_t h) {
    std::lock_guard lock(m_mutex);
    m_handles.erase(h);
  }
  CWnd* Lookup(std::uint64_t h) {
    std::lock_guard lock(m_mutex);
    auto it = m_handles.find(h);
    return it == m_handles.end() ? nullptr : it->second;
  }

  QPointer<QWidget> capture;
  QPointer<QWidget> cursorTarget;
  std::map<int, QCursor> cursors;

 private:
  void Connect() {
    if (m_connected || !qobject_cast<QApplication*>(QCoreApplication::instance())) return;
    m_connected = true;
    QObject::connect(qApp, &QApplication::focusChanged, this,
                     [this](QWidget* old, QWidget* now) { Focus(old, now); });
    auto* keys = new CKeyRoute();
    keys->setParent(this);
    qApp->installEventFilter(keys);
  }

  // Windows sends WM_KILLFOCUS to the old window, then WM_SETFOCUS to the
  // new, each naming the other; Qt's focus events name neither.
  void Focus(QWidget* old, QWidget* now) {
    // The menu bar's keyboard mode is a menu loop, not a change of focus:
    // the window that had the focus keeps it (an open editor stays open)
    // unless the focus then goes somewhere else. On its way out of the mode
    // the bar lets go of the focus before it gives it back.
    if (qobject_cast<QMenuBar*>(now)) {
      if (!m_inMenu) m_beforeMenu = old;
      m_inMenu = true;
      return;
    }
    if (m_inMenu) {
      if (!now) return;
      m_inMenu = false;
      old = m_beforeMenu;
      m_beforeMenu = nullptr;
      if (old == now) return;
    }
    CWnd* oldWnd = CWnd::FromHandle(old);
    CWnd* newWnd = CWnd::FromHandle(now);
    if (oldWnd == newWnd) return;
    QPointer<QWidget> oldPeer = oldWnd ? oldWnd->widget() : nullptr;
    QPointer<QWidget> newPeer = newWnd ? newWnd->widget() : nullptr;
    if (oldWnd) oldWnd->SendMessage(WM_KILLFOCUS, reinterpret_cast<WPARAM>(newPeer.data()));
    newWnd = newPeer ? CWnd::FromHandlePermanent(newPeer) : nullptr;
    if (newWnd) newWnd->SendMessage(WM_SETFOCUS, reinterpret_cast<WPARAM>(oldPeer.data()));
  }

 public:
  void LeaveIdleMenuBar() {
    auto* bar = qobject_cast<QMenuBar*>(QApplication::focusWidget());
    if (!bar || bar->activeAction() || QApplication::activePopupWidget()) return;
    QWidget* before = m_beforeMenu;
    if (before && before->window() == bar->window() && before->isVisible() && before->isEnabled())
      before->setFocus(Qt::MenuBarFocusReason);
    else
      bar->clearFocus();
  }
  // The widget with the keyboard focus as the program sees it: while the
  // menu bar holds the keyboard, the one that had it before the menu.
  QWidget* FocusOutsideMenu() const {
    return m_inMenu ? m_beforeMenu.data() : QApplication::focusWidget();
  }

 private:
  bool m_connected = false;
  bool m_inMenu = false;
  QPointer<QWidget> m_beforeMenu;
  std::mutex m_mutex;
  std::uint64_t m_nextHandle = 0;
  std::map<std::uint64_t, CWnd*> m_handles;
  std::deque<Posted> m_deferred;
};

namespace fw {

int DispatchDepth() {
  return g_dispatchDepth;
}

void ReleaseDeferredMessages() {
  CWndHub::Get().ReleaseDeferred();
}

CWnd* WndFromHandleId(std::uint64_t handle) {
  return CWndHub::Get().Lookup(handle);
}

CPeerWidget::CPeerWidget(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setFocusPolicy(Qt::ClickFocus);
}

CSize DialogBaseUnits(const QFont& font) {
  QFontMetrics fm(font);
  static const QString kAlphabet =
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  int avg = (fm.horizontalAdvance(kAlphabet) / 26 + 1) / 2;
  return CSize(std::max(avg, 1), std::max(fm.height(), 1));
}

namespace {
std::map<std::string, std::function<std::unique_ptr<CWnd>()>>& ClassRegistry() {
  static std::map<std::string, std::function<std::unique_ptr<CWnd>()>> registry;
  return registry;
}
}  // namespace

void ActivateWindow(QWidget* window, QWidget* focus) {
  if (!window || !window->isWindow() || !window->isVisible()) return;
  window->activateWindow();
  QApplication::setActiveWindow(window);
  if (focus && focus->window() == window && focus->isVisible() && focus->isEnabled())
    focus->setFocus(Qt::ActiveWindowFocusReason);
}

namespace {
// The modal window that keeps `window` from taking input, if any: the top
// one, unless `window` is it or one of its own.
QWidget* BlockingModal(const QWidget* window) {
  QWidget* modal = QApplication::activeModalWidget();
  if (!modal) return nullptr;
  for (const QWidget* w = window; w; w = w->parentWidget())
    if (w == modal) return nullptr;
  return modal;
}
}  // namespace

void LeaveIdleMenuBar() {
  CWndHub::Get().LeaveIdleMenuBar();
}

void ReturnActivation(QWidget* window, QWidget* focus) {
  if (QWidget* modal = BlockingModal(window)) {
    window = modal;
    focus = nullptr;  // where the modal window last had it
  }
  ActivateWindow(window, focus);
}

void RegisterWindowClass(const std::string& name, std::function<std::unique_ptr<CWnd>()> factory) {
  ClassRegistry()[FoldCase(name)] = std::move(factory);
}

std::unique_ptr<CWnd> MakeRegisteredWindow(const std::string& name) {
  auto it = ClassRegistry().find(FoldCase(name));
  return it == ClassRegistry().end() ? nullptr : it->second();
}

void RegisterCursor(int id, const QCursor& cursor) {
  CWndHub::Get().cursors[id] = cursor;
}

}  // namespace fw

// ---- cursors, capture, registered messages ------------------------------------

HCURSOR LoadCursor(void*, int id) {
  auto& cursors = CWndHub::Get().cursors;
  auto it = cursors.find(id);
  if (it != cursors.end()) return &it->second;
  CPoint hot;
  QImage image = fw::LoadImageResource(fw::ImageKind::Cursor, static_cast<unsigned>(id), &hot);
  if (!image.isNull()) {
    auto [slot, added] = cursors.emplace(id, QCursor(QPixmap::fromImage(image), hot.x, hot.y));
    return &slot->second;
  }
  Qt::CursorShape shape;
  switch (id) {
    case IDC_ARROW: shape = Qt::ArrowCursor; break;
    case IDC_IBEAM: shape = Qt::IBeamCursor; break;
    case IDC_WAIT: shape = Qt::WaitCursor; break;
    case IDC_CROSS: shape = Qt::CrossCursor; break;
    case IDC_UPARROW: shape = Qt::UpArrowCursor; break;
    case IDC_SIZENWSE: shape = Qt::SizeFDiagCursor; break;
    case IDC_SIZENESW: shape = Qt::SizeBDiagCursor; break;
    case IDC_SIZEWE: shape = Qt::SizeHorCursor; break;
    case IDC_SIZENS: shape = Qt::SizeVerCursor; break;
    case IDC_SIZEALL: shape = Qt::SizeAllCursor; break;
    case IDC_NO: shape = Qt::ForbiddenCursor; break;
    case IDC_HAND: shape = Qt::PointingHandCursor; break;
    case IDC_APPSTARTING: shape = Qt::BusyCursor; break;
    default: return nullptr;
  }
  return &cursors.emplace(id, QCursor(shape)).first->second;
}

HCURSOR SetCursor(HCURSOR cursor) {
  static HCURSOR current = nullptr;
  HCURSOR old = current;
  current = cursor;
  CWndHub& hub = CWndHub::Get();
  QWidget* target = hub.cursorTarget ? hub.cursorTarget.data() : hub.capture.data();
  if (!target) target = QApplication::widgetAt(QCursor::pos());
  if (target) {
    if (cursor)
      target->setCursor(*cursor);
    else
      target->setCursor(Qt::BlankCursor);
  }
  return old;
}

CWnd* GetCapture() {
  return CWnd::FromHandlePermanent(CWndHub::Get().capture);
}

bool ReleaseCapture() {
  CWndHub& hub = CWndHub::Get();
  QPointer<QWidget> old = hub.capture;
  hub.capture = nullptr;
  if (!old) return true;
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) old->releaseMouse();
  if (CWnd* w = CWnd::FromHandlePermanent(old)) w->SendMessage(WM_CAPTURECHANGED, 0, 0);
  return true;
}

namespace fw {

void CancelModeForModal() {
  CWndHub& hub = CWndHub::Get();
  QPointer<QWidget> held = hub.capture;
  CWnd* holder = CWnd::FromHandlePermanent(held);
  if (holder) holder->SendMessage(WM_CANCELMODE);
  if (CWnd* focus = CWnd::GetFocus(); focus && focus != holder) focus->SendMessage(WM_CANCELMODE);
  // A window that kept the capture through its handler gives it up all the same.
  if (hub.capture) (void)::ReleaseCapture();  // nothing refuses a release
}

namespace {
unsigned g_modalLoops = 0;
}  // namespace

unsigned ModalLoopsBegun() {
  return g_modalLoops;
}

ModalScope::ModalScope() {
  ++g_modalLoops;
  CancelModeForModal();
  m_window = QApplication::activeWindow();
  // The loop ends a menu mode: the focus goes back where it was before the menu.
  m_focus = CWndHub::Get().FocusOutsideMenu();
  if (QWidget* modal = m_window ? BlockingModal(m_window) : QApplication::activeModalWidget()) {
    m_window = modal;
    m_focus = nullptr;
  }
}

ModalScope::~ModalScope() {
  // A window the loop's end activated on purpose keeps the activation.
  QWidget* active = QApplication::activeWindow();
  if (active && active != m_window && active->isVisible() && !BlockingModal(active)) return;
  ReturnActivation(m_window, m_focus);
}

}  // namespace fw

UINT RegisterWindowMessage(const std::string& name) {
  static std::mutex mutex;
  static std::map<std::string, UINT> ids;
  std::lock_guard lock(mutex);
  // Names compare without case, as the system's atom table does.
  std::string key = fw::FoldCase(name);
  auto it = ids.find(key);
  if (it != ids.end()) return it->second;
  UINT id = 0xC000 + static_cast<UINT>(ids.size());
  if (id > 0xFFFF) return 0;
  ids.emplace(key, id);
  return id;
}

bool TrackMouseEvent(CWnd*) {
  return true;
}

// ---- CWnd -------------------------------------------------------------------------

CWnd::CWnd() : m_alive(std::make_shared<bool>(true)) {}

CWnd::~CWnd() {
  *m_alive = false;
  if (CWndHub::Get().capture && CWndHub::Get().capture == m_peer) CWndHub::Get().capture = nullptr;
  m_timers.clear();
  m_temporaries.clear();
  if (m_peer) {
    if (m_ownsPeer) {
      QWidget* w = m_peer;
      DetachPeer();
      w->hide();
      if (g_dispatchDepth > 0)
        w->deleteLater();
      else
        delete w;
    } else {
      DetachPeer();
    }
  }
}

CWnd* CWnd::FromHandlePermanent(HWND widget) {
  if (!widget) return nullptr;
  QVariant v = widget->property(kWndProperty);
  return v.isValid() ? reinterpret_cast<CWnd*>(v.value<quintptr>()) : nullptr;
}

CWnd* CWnd::FromHandle(HWND widget) {
  for (QWidget* w = widget; w; w = w->parentWidget()) {
    if (CWnd* wnd = FromHandlePermanent(w)) return wnd;
    if (w->isWindow()) break;
  }
  return nullptr;
}

bool CWnd::AttachPeer(QWidget* widget, bool owned) {
  if (!widget || m_peer || FromHandlePermanent(widget)) return false;
  m_peer = widget;
  m_ownsPeer = owned;
  widget->setProperty(kWndProperty,
                      QVariant::fromValue<quintptr>(reinterpret_cast<quintptr>(this)));
  widget->installEventFilter(&CWndHub::Get());
  m_handle = CWndHub::Get().Register(this);
  // The styles travel with the window, so an object that subclasses it later sees them.
  if (QVariant st = widget->property("fw_style"); st.isValid()) {
    m_style = st.toUInt();
    m_exStyle = widget->property("fw_exstyle").toUInt();
  }
  m_eraseNeeded = true;
  return true;
}

void CWnd::DetachPeer() {
  m_timers.clear();  // timers belong to the window, not to the object
  if (m_handle) CWndHub::Get().Unregister(m_handle);
  m_handle = 0;
  if (m_peer) {
    m_peer->removeEventFilter(&CWndHub::Get());
    m_peer->setProperty(kWndProperty, QVariant());
  }
  m_peer = nullptr;
  m_ownsPeer = false;
}

void CWnd::StoreStyle() {
  if (!m_peer) return;
  m_peer->setProperty("fw_style", QVariant::fromValue<uint>(m_style));
  m_peer->setProperty("fw_exstyle", QVariant::fromValue<uint>(m_exStyle));
}

bool CWnd::PreCreateWindow(CREATESTRUCT&) {
  return true;
}

QWidget* CWnd::CreatePeer(QWidget* parent, const CREATESTRUCT& cs) {
  Qt::WindowFlags flags;
  if (!parent || (cs.style & WS_POPUP)) {
    flags = (cs.exStyle & WS_EX_TOOLWINDOW) ? Qt::Tool : Qt::Window;
    if (cs.exStyle & WS_EX_TOPMOST) flags |= Qt::WindowStaysOnTopHint;
  }
  return new fw::CPeerWidget(parent, flags);
}

bool CWnd::Create(const std::string& className, const std::string& text, std::uint32_t style,
                  const CRect& rect, CWnd* parent, int id) {
  return CreateEx(0, className, text, style, rect, parent, id);
}

bool CWnd::CreateEx(std::uint32_t exStyle, const std::string& className, const std::string& text,
                    std::uint32_t style, const CRect& rect, CWnd* parent, int id) {
  if (m_peer) return false;
  CREATESTRUCT cs;
  cs.name = text;
  cs.className = className;
  cs.style = style;
  cs.exStyle = exStyle;
  cs.x = rect.left, cs.y = rect.top, cs.cx = rect.Width(), cs.cy = rect.Height();
  cs.id = id;
  if (!PreCreateWindow(cs)) return false;
  QWidget* parentWidget = parent ? parent->widget() : nullptr;
  QWidget* w = CreatePeer(parentWidget, cs);
  if (!w) return false;
  if (!w->parent() && parentWidget) w->setParent(parentWidget, w->windowFlags());
  AttachPeer(w, true);
  m_style = cs.style;
  m_exStyle = cs.exStyle;
  StoreStyle();
  w->setProperty(kIdProperty, cs.id);
  w->setGeometry(cs.x, cs.y, std::max(cs.cx, 0), std::max(cs.cy, 0));
  if (!cs.name.empty() || w->isWindow()) SetWindowText(cs.name);
  w->setEnabled(!(cs.style & WS_DISABLED));
  ApplyStyle();
  PreSubclassWindow();
  std::shared_ptr<bool> alive = m_alive;
  if (SendMessage(WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    if (*alive) (void)DestroyWindow();  // refused: what was made goes
    return false;
  }
  if (!*alive || !m_peer) return false;
  if (cs.style & WS_VISIBLE) m_peer->show();
  return true;
}

bool CWnd::DestroyWindow() {
  if (!m_peer) return false;
  std::shared_ptr<bool> alive = m_alive;
  // Children first hear WM_DESTROY after their parent, as on the platform.
  SendMessage(WM_DESTROY);
  if (!*alive) return true;
  // A child going may take others with it (a splitter's handles go with
  // their pane): each one is checked before it is touched.
  std::vector<QPointer<QWidget>> children;
  for (QWidget* child : m_peer->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    children.emplace_back(child);
  for (const QPointer<QWidget>& child : children) {
    if (!child) continue;
    CWnd* c = FromHandlePermanent(child);
    if (c && c->m_ownsPeer) (void)c->DestroyWindow();  // a child with its own peer
  }
  if (!*alive) return true;
  m_timers.clear();
  m_temporaries.clear();
  if (CWndHub::Get().capture == m_peer) (void)ReleaseCapture();  // nothing refuses a release
  QWidget* w = m_peer;
  bool owned = m_ownsPeer;
  // An active owned window that goes gives the activation back to its owner
  // (and so the keyboard focus to the owner's focused child), or to the
  // modal window that blocks the owner; Qt leaves that to the window
  // manager, which may give it to no window at all.
  QPointer<QWidget> owner = w->isWindow() && w->parentWidget() && QApplication::activeWindow() == w
                                ? w->parentWidget()->window()
                                : nullptr;
  QPointer<QWidget> gone = w;
  DetachPeer();
  if (owned) {
    w->hide();
    // Other objects still attached to children lose their peer now.
    for (QWidget* child : w->findChildren<QWidget*>()) {
      if (CWnd* c = FromHandlePermanent(child)) c->DetachPeer();
    }
    if (g_dispatchDepth > 0)
      w->deleteLater();
    else
      delete w;
  }
  if (owner && (!QApplication::activeWindow() || QApplication::activeWindow() == gone.data()))
    fw::ReturnActivation(owner);
  PostNcDestroy();
  return true;
}

bool CWnd::SubclassWindow(HWND widget) {
  if (!widget || m_peer) return false;
  CWnd* previous = FromHandlePermanent(widget);
  bool owned = false;
  if (previous) {
    // Take over from the default wrapper a template created.
    owned = previous->m_ownsPeer;
    m_style = previous->m_style;
    m_exStyle = previous->m_exStyle;
    m_font = previous->m_font;
    previous->DetachPeer();
    if (CWnd* parent = FromHandle(widget->parentWidget())) parent->m_temporaries.erase(widget);
  }
  if (!AttachPeer(widget, owned)) return false;
  PreSubclassWindow();
  return true;
}

bool CWnd::SubclassDlgItem(int id, CWnd* parent) {
  if (!parent) return false;
  CWnd* item = parent->GetDlgItem(id);
  return item && SubclassWindow(item->widget());
}

bool CWnd::ReplacePeer(QWidget* replacement) {
  if (!m_peer || !replacement || FromHandlePermanent(replacement)) return false;
  QWidget* old = m_peer;
  QWidget* parent = old->parentWidget();
  if (replacement->parentWidget() != parent) replacement->setParent(parent);
  replacement->setGeometry(old->geometry());
  replacement->setProperty(kIdProperty, old->property(kIdProperty));
  replacement->setProperty("fw_text", old->property("fw_text"));
  replacement->setEnabled(old->isEnabled());
  replacement->setFont(old->font());
  if (parent && old->focusPolicy() != Qt::NoFocus) {
    replacement->setFocusPolicy(old->focusPolicy());
    QWidget::setTabOrder(old, replacement);
  }
  replacement->stackUnder(old);
  bool visible = !old->isHidden();
  bool owned = m_ownsPeer;
  DetachPeer();
  AttachPeer(replacement, owned);
  replacement->setVisible(visible);
  old->hide();
  if (g_dispatchDepth > 0)
    old->deleteLater();
  else
    delete old;
  return true;
}

HWND CWnd::UnsubclassWindow() {
  QWidget* w = m_peer;
  DetachPeer();
  return w;
}

// ---- identity and tree ----------------------------------------------------------------

int CWnd::GetDlgCtrlID() const {
  return m_peer ? m_peer->property(kIdProperty).toInt() : 0;
}

int CWnd::SetDlgCtrlID(int id) {
  int old = GetDlgCtrlID();
  if (m_peer) m_peer->setProperty(kIdProperty, id);
  return old;
}

CWnd* CWnd::GetDlgItem(int id) const {
  if (!m_peer) return nullptr;
  for (QWidget* child : m_peer->findChildren<QWidget*>()) {
    if (child->isWindow()) continue;
    QVariant v = child->property(kIdProperty);
    if (!v.isValid() || v.toInt() != id) continue;
    if (CWnd* w = FromHandlePermanent(child)) return w;
    // A plain wrapper lives as long as this window, as a temporary would.
    auto& slot = m_temporaries[child];
    if (!slot) {
      slot = std::make_unique<CWnd>();
      slot->AttachPeer(child, false);
    }
    return slot.get();
  }
  return nullptr;
}

CWnd* CWnd::GetParent() const {
  if (!m_peer) return nullptr;
  QWidget* p = m_peer->parentWidget();
  return p ? FromHandle(p) : nullptr;
}

CWnd* CWnd::SetParent(CWnd* parent) {
  CWnd* old = GetParent();
  if (!m_peer) return old;
  bool visible = m_peer->isVisible();
  QRect geo = m_peer->geometry();
  m_peer->setParent(parent ? parent->widget() : nullptr, m_peer->windowFlags());
  m_peer->setGeometry(geo);
  if (visible) m_peer->show();
  return old;
}

CWnd* CWnd::GetTopLevelParent() const {
  if (!m_peer) return nullptr;
  return FromHandle(m_peer->window());
}

std::vector<CWnd*> CWnd::GetChildren() const {
  std::vector<CWnd*> out;
  if (!m_peer) return out;
  for (QWidget* child : m_peer->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (CWnd* c = FromHandlePermanent(child)) out.push_back(c);
  return out;
}

// ---- state ------------------------------------------------------------------------------

bool CWnd::ShowWindow(int cmd) {
  if (!m_peer) return false;
  bool was = m_peer->isVisible();
  switch (cmd) {
    case SW_HIDE: m_peer->hide(); break;
    case SW_MINIMIZE: m_peer->showMinimized(); break;
    case SW_MAXIMIZE: m_peer->showMaximized(); break;
    case SW_RESTORE: m_peer->showNormal(); break;
    default:
      m_peer->show();
      if (cmd == SW_SHOW || cmd == SW_SHOWNORMAL) {
        if (m_peer->isWindow()) m_peer->raise();
      }
      break;
  }
  if (cmd == SW_HIDE)
    m_style &= ~WS_VISIBLE;
  else
    m_style |= WS_VISIBLE;
  StoreStyle();
  return was;
}

bool CWnd::IsWindowVisible() const {
  return m_peer && m_peer->isVisible();
}

bool CWnd::EnableWindow(bool enable) {
  if (!m_peer) return false;
  bool wasDisabled = !m_peer->isEnabled();
  m_peer->setEnabled(enable);
  if (enable)
    m_style &= ~WS_DISABLED;
  else
    m_style |= WS_DISABLED;
  StoreStyle();
  return wasDisabled;
}

bool CWnd::IsWindowEnabled() const {
  return m_peer && m_peer->isEnabled();
}

void CWnd::MoveWindow(int x, int y, int cx, int cy, bool repaint) {
  if (!m_peer) return;
  m_peer->setGeometry(x, y, std::max(cx, 0), std::max(cy, 0));
  if (repaint) m_peer->update();
}

bool CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags) {
  if (!m_peer) return false;
  QRect g = m_peer->geometry();
  if (!(flags & SWP_NOMOVE)) g.moveTo(x, y);
  if (!(flags & SWP_NOSIZE)) g.setSize(QSize(std::max(cx, 0), std::max(cy, 0)));
  m_peer->setGeometry(g);
  if (!(flags & SWP_NOZORDER) && insertAfter == nullptr) m_peer->raise();
  if (flags & SWP_SHOWWINDOW) ShowWindow(SW_SHOWNA);
  if (flags & SWP_HIDEWINDOW) ShowWindow(SW_HIDE);
  if (flags & SWP_FRAMECHANGED) ApplyStyle();
  if (!(flags & SWP_NOREDRAW)) m_peer->update();
  return true;
}

void CWnd::GetClientRect(CRect* r) const {
  if (!r) return;
  *r = m_peer ? CRect(0, 0, m_peer->width(), m_peer->height()) : CRect();
}

void CWnd::GetWindowRect(CRect* r) const {
  if (!r) return;
  if (!m_peer) {
    *r = CRect();
    return;
  }
  if (m_peer->isWindow()) {
    *r = CRect::FromQt(m_peer->frameGeometry());
    return;
  }
  QPoint tl = m_peer->mapToGlobal(QPoint(0, 0));
  *r = CRect(tl.x(), tl.y(), tl.x() + m_peer->width(), tl.y() + m_peer->height());
}

void CWnd::ClientToScreen(CPoint* p) const {
  if (p && m_peer) *p = CPoint(m_peer->mapToGlobal(p->ToQt()));
}
void CWnd::ClientToScreen(CRect* r) const {
  if (!r || !m_peer) return;
  QPoint d = m_peer->mapToGlobal(QPoint(0, 0));
  r->OffsetRect(d.x(), d.y());
}
void CWnd::ScreenToClient(CPoint* p) const {
  if (p && m_peer) *p = CPoint(m_peer->mapFromGlobal(p->ToQt()));
}
void CWnd::ScreenToClient(CRect* r) const {
  if (!r || !m_peer) return;
  QPoint d = m_peer->mapFromGlobal(QPoint(0, 0));
  r->OffsetRect(d.x(), d.y());
}

void CWnd::CenterWindow(CWnd* alternateOwner) {
  if (!m_peer) return;
  QRect area;
  QWidget* owner = alternateOwner && alternateOwner->widget() ? alternateOwner->widget()
                                                              : m_peer->parentWidget();
  if (owner && owner->isVisible()) {
    area = QRect(owner->mapToGlobal(QPoint(0, 0)), owner->size());
  } else if (QScreen* s = m_peer->screen()) {
    area = s->availableGeometry();
  } else {
    area = QRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  }
  QSize size = m_peer->frameGeometry().size();
  QPoint tl(area.x() + (area.width() - size.width()) / 2,
            area.y() + (area.height() - size.height()) / 2);
  if (m_peer->isWindow())
    m_peer->move(tl);
  else
    m_peer->move(m_peer->parentWidget()->mapFromGlobal(tl));
}

void CWnd::BringWindowToTop() {
  if (m_peer) m_peer->raise();
}

bool CWnd::SetForegroundWindow() {
  if (!m_peer) return false;
  m_peer->window()->raise();
  m_peer->window()->activateWindow();
  return true;
}

void CWnd::SetWindowText(const std::string& text) {
  if (!m_peer) return;
  SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(&text));
}

std::string CWnd::GetWindowText() const {
  if (!m_peer) return {};
  std::string out;
  const_cast<CWnd*>(this)->SendMessage(WM_GETTEXT, 0, reinterpret_cast<LPARAM>(&out));
  return out;
}

void CWnd::SetDlgItemText(int id, const std::string& text) {
  if (CWnd* w = GetDlgItem(id)) w->SetWindowText(text);
}

std::string CWnd::GetDlgItemText(int id) const {
  CWnd* w = GetDlgItem(id);
  return w ? w->GetWindowText() : std::string();
}

void CWnd::SetDlgItemInt(int id, int value, bool isSigned) {
  SetDlgItemText(id,
                 isSigned ? std::to_string(value) : std::to_string(static_cast<unsigned>(value)));
}

int CWnd::GetDlgItemInt(int id, bool* ok, bool isSigned) const {
  std::string t = fw::Trim(GetDlgItemText(id));
  bool good = !t.empty();
  long long v = 0;
  std::size_t i = 0;
  bool neg = false;
  if (good && isSigned && t[0] == '-') neg = true, i = 1;
  if (i >= t.size()) good = false;
  for (; good && i < t.size(); ++i) {
    if (t[i] < '0' || t[i] > '9')
      good = false;
    else
      v = v * 10 + (t[i] - '0');
    if (v > 0xFFFFFFFFLL) good = false;
  }
  if (ok) *ok = good;
  if (!good) return 0;
  return static_cast<int>(neg ? -v : v);
}

void CWnd::CheckDlgButton(int id, UINT check) {
  if (CWnd* w = GetDlgItem(id)) w->SendMessage(BM_SETCHECK, check);
}

UINT CWnd::IsDlgButtonChecked(int id) const {
  CWnd* w = GetDlgItem(id);
  return w ? static_cast<UINT>(w->SendMessage(BM_GETCHECK)) : 0;
}

void CWnd::CheckRadioButton(int first, int last, int check) {
  for (int id = first; id <= last; ++id)
    CheckDlgButton(id, id == check ? BST_CHECKED : BST_UNCHECKED);
}

int CWnd::GetCheckedRadioButton(int first, int last) const {
  for (int id = first; id <= last; ++id)
    if (IsDlgButtonChecked(id)) return id;
  return 0;
}

// The controls of a group run from a WS_GROUP control to the next one, in
// creation (child) order.
CWnd* CWnd::GetNextDlgGroupItem(CWnd* control, bool previous) const {
  if (!m_peer || !control || !control->widget()) return nullptr;
  std::vector<QWidget*> kids;
  for (QWidget* c : m_peer->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (!c->isWindow()) kids.push_back(c);
  auto it = std::find(kids.begin(), kids.end(), control->widget());
  if (it == kids.end()) return nullptr;
  auto groupStart = [&](QWidget* w) {
    CWnd* c = FromHandlePermanent(w);
    return c && (c->GetStyle() & WS_GROUP);
  };
  std::size_t i = static_cast<std::size_t>(it - kids.begin());
  std::size_t first = i;
  while (first > 0 && !groupStart(kids[first])) --first;
  std::size_t last = i;
  while (last + 1 < kids.size() && !groupStart(kids[last + 1])) ++last;
  std::size_t next = previous ? (i == first ? last : i - 1) : (i == last ? first : i + 1);
  QWidget* w = kids[next];
  CWnd* c = FromHandlePermanent(w);
  return c ? c : GetDlgItem(w->property(kIdProperty).toInt());
}

bool CWnd::ModifyStyle(std::uint32_t remove, std::uint32_t add, UINT flags) {
  std::uint32_t old = m_style;
  m_style = (m_style & ~remove) | add;
  if (m_style == old) return false;
  StoreStyle();
  if (m_peer) {
    if ((old ^ m_style) & WS_VISIBLE) m_peer->setVisible(m_style & WS_VISIBLE);
    if ((old ^ m_style) & WS_DISABLED) m_peer->setEnabled(!(m_style & WS_DISABLED));
    ApplyStyle();
    if (flags & SWP_FRAMECHANGED) m_peer->update();
  }
  return true;
}

bool CWnd::ModifyStyleEx(std::uint32_t remove, std::uint32_t add, UINT flags) {
  std::uint32_t old = m_exStyle;
  m_exStyle = (m_exStyle & ~remove) | add;
  if (m_exStyle == old) return false;
  StoreStyle();
  if (m_peer) {
    ApplyStyle();
    if (flags & SWP_FRAMECHANGED) m_peer->update();
  }
  return true;
}

void CWnd::SetFont(CFont* font, bool redraw) {
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
}

CFont* CWnd::GetFont() const {
  return reinterpret_cast<CFont*>(const_cast<CWnd*>(this)->SendMessage(WM_GETFONT));
}

// ---- painting -------------------------------------------------------------------------------

void CWnd::Invalidate(bool erase) {
  if (!m_peer) return;
  if (erase) m_eraseNeeded = true;
  m_peer->update();
}

void CWnd::InvalidateRect(const CRect* r, bool erase) {
  if (!m_peer) return;
  if (erase) m_eraseNeeded = true;
  if (r)
    m_peer->update(r->ToQt());
  else
    m_peer->update();
}

void CWnd::UpdateWindow() {
  // Painting happens in paint events only; a repaint is as close as Qt gets
  // to painting now, and it is skipped while the window is hidden.
  if (m_peer && m_peer->isVisible()) m_peer->repaint();
}

bool CWnd::RedrawWindow(const CRect* r, void*, UINT flags) {
  if (!m_peer) return false;
  if (flags & RDW_ERASE) m_eraseNeeded = true;
  if (flags & RDW_INVALIDATE) InvalidateRect(r, flags & RDW_ERASE);
  if (flags & RDW_UPDATENOW) UpdateWindow();
  return true;
}

void CWnd::SetRedraw(bool redraw) {
  if (m_peer) m_peer->setUpdatesEnabled(redraw);
}

void CWnd::ScrollWindow(int dx, int dy, const CRect* scroll, const CRect*) {
  if (!m_peer) return;
  if (scroll)
    m_peer->scroll(dx, dy, scroll->ToQt());
  else
    m_peer->scroll(dx, dy);
}

// ---- focus, timers, capture ---------------------------------------------------------------

CWnd* CWnd::SetFocus() {
  CWnd* old = GetFocus();
  if (m_peer) m_peer->setFocus(Qt::OtherFocusReason);
  return old;
}

CWnd* CWnd::GetFocus() {
  auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
  return app ? FromHandle(QApplication::focusWidget()) : nullptr;
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapseMs, void*) {
  if (!m_peer) return 0;
  auto timer = std::make_unique<QTimer>();
  timer->setInterval(static_cast<int>(std::max<UINT>(elapseMs, 1)));
  std::weak_ptr<bool> alive = m_alive;
  QObject::connect(timer.get(), &QTimer::timeout, [this, alive, id] {
    if (auto a = alive.lock(); a && *a) FireTimer(id);
  });
  timer->start();
  m_timers[id] = std::move(timer);
  return id ? id : 1;
}

void CWnd::FireTimer(UINT_PTR id) {
  if (!m_peer) return;
  if (fw::PumpFilterActive() && !fw::PumpAllows(m_peer)) {
    // Timers of other windows wait for the pump to end; one tick is kept.
    fw::DeferTimer(m_handle, id);
    return;
  }
  SendMessage(WM_TIMER, id, 0);
}

bool CWnd::KillTimer(UINT_PTR id) {
  return m_timers.erase(id) > 0;
}

CWnd* CWnd::SetCapture() {
  CWnd* old = ::GetCapture();
  if (!m_peer) return old;
  CWndHub& hub = CWndHub::Get();
  if (hub.capture && hub.capture != m_peer) {
    QPointer<QWidget> prev = hub.capture;
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) prev->releaseMouse();
    if (CWnd* w = FromHandlePermanent(prev))
      w->SendMessage(WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(m_peer.data()));
  }
  hub.capture = m_peer;
  // Offscreen test runs cannot grab; events go to the window anyway.
  if (m_peer->isVisible() && QGuiApplication::platformName() != QLatin1String("offscreen"))
    m_peer->grabMouse();
  return old;
}

// ---- messages -------------------------------------------------------------------------------

LRESULT CWnd::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  QCoreApplication* app = QCoreApplication::instance();
  if (app && QThread::currentThread() != app->thread()) {
    // From a worker: run on the GUI thread and wait, as a cross-thread send does.
    std::uint64_t h = m_handle;
    LRESULT result = 0;
    QMetaObject::invokeMethod(
        &CWndHub::Get(),
        [&] {
          if (CWnd* w = CWndHub::Get().Lookup(h)) result = w->WindowProc(msg, wParam, lParam);
        },
        Qt::BlockingQueuedConnection);
    return result;
  }
  Current saved = m_current;
  m_current = Current{msg, false, false, wParam, lParam};
  std::shared_ptr<bool> alive = m_alive;
  LRESULT r = WindowProc(msg, wParam, lParam);
  if (*alive) m_current = saved;
  return r;
}

bool CWnd::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  std::uint64_t h = m_handle;
  if (!h) return false;
  CWndHub& hub = CWndHub::Get();
  QCoreApplication::postEvent(&hub, new CWndHub::PostedEvent({h, msg, wParam, lParam}));
  return true;
}

void CWnd::SetMessageHandler(UINT msg, std::function<LRESULT(WPARAM, LPARAM)> handler) {
  if (handler)
    m_messageHandlers[msg] = std::move(handler);
  else
    m_messageHandlers.erase(msg);
}

void CWnd::NotifyParent(UINT code) {
  CWnd* parent = GetParent();
  if (!parent || !m_peer) return;
  parent->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(GetDlgCtrlID()), code),
                      reinterpret_cast<LPARAM>(m_peer.data()));
}

bool CWnd::PreTranslateMessage(MSG*) {
  return false;
}

LRESULT CWnd::Default() {
  if (m_current.fromQt) {
    m_current.defaultRequested = true;
    // A Qt control does its own default handling after the handler; our own
    // peers have none, so the window procedure's default runs now.
    if (!dynamic_cast<fw::CPeerWidget*>(m_peer.data())) return 0;
  }
  return DefWindowProc(m_current.msg, m_current.w, m_current.l);
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM w, LPARAM l) {
  if (auto it = m_messageHandlers.find(msg); it != m_messageHandlers.end()) {
    auto handler = it->second;  // the handler may replace itself
    return handler(w, l);
  }
  auto point = [l] { return CPoint(GET_X_LPARAM(l), GET_Y_LPARAM(l)); };
  switch (msg) {
    case WM_CREATE: return OnCreate(reinterpret_cast<CREATESTRUCT*>(l));
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_PAINT: OnPaint(); return 0;
    case WM_ERASEBKGND: return OnEraseBkgnd(reinterpret_cast<CDC*>(w)) ? 1 : 0;
    case WM_SIZE:
      OnSize(static_cast<UINT>(w), LOWORD(static_cast<std::uintptr_t>(l)),
             HIWORD(static_cast<std::uintptr_t>(l)));
      return 0;
    case WM_MOVE: OnMove(GET_X_LPARAM(l), GET_Y_LPARAM(l)); return 0;
    case WM_LBUTTONDOWN: OnLButtonDown(static_cast<UINT>(w), point()); return 0;
    case WM_LBUTTONUP: OnLButtonUp(static_cast<UINT>(w), point()); return 0;
    case WM_LBUTTONDBLCLK: OnLButtonDblClk(static_cast<UINT>(w), point()); return 0;
    case WM_RBUTTONDOWN: OnRButtonDown(static_cast<UINT>(w), point()); return 0;
    case WM_RBUTTONUP: OnRButtonUp(static_cast<UINT>(w), point()); return 0;
    case WM_RBUTTONDBLCLK: OnRButtonDblClk(static_cast<UINT>(w), point()); return 0;
    case WM_MBUTTONDOWN: OnMButtonDown(static_cast<UINT>(w), point()); return 0;
    case WM_MBUTTONUP: OnMButtonUp(static_cast<UINT>(w), point()); return 0;
    case WM_MOUSEMOVE: OnMouseMove(static_cast<UINT>(w), point()); return 0;
    case WM_MOUSEWHEEL:
      return OnMouseWheel(LOWORD(w), static_cast<short>(HIWORD(w)), point()) ? 1 : 0;
    case WM_MOUSELEAVE: OnMouseLeave(); return 0;
    case WM_KEYDOWN:
      OnKeyDown(static_cast<UINT>(w), LOWORD(static_cast<std::uintptr_t>(l)),
                HIWORD(static_cast<std::uintptr_t>(l)));
      return 0;
    case WM_KEYUP:
      OnKeyUp(static_cast<UINT>(w), LOWORD(static_cast<std::uintptr_t>(l)),
              HIWORD(static_cast<std::uintptr_t>(l)));
      return 0;
    case WM_SYSKEYDOWN:
      OnSysKeyDown(static_cast<UINT>(w), LOWORD(static_cast<std::uintptr_t>(l)),
                   HIWORD(static_cast<std::uintptr_t>(l)));
      return 0;
    case WM_SYSKEYUP:
      OnSysKeyUp(static_cast<UINT>(w), LOWORD(static_cast<std::uintptr_t>(l)),
                 HIWORD(static_cast<std::uintptr_t>(l)));
      return 0;
    case WM_CHAR:
      OnChar(static_cast<UINT>(w), LOWORD(static_cast<std::uintptr_t>(l)),
             HIWORD(static_cast<std::uintptr_t>(l)));
      return 0;
    case WM_TIMER: OnTimer(w); return 0;
    case WM_SETFOCUS: OnSetFocus(FromHandle(reinterpret_cast<HWND>(w))); return 0;
    case WM_KILLFOCUS: OnKillFocus(FromHandle(reinterpret_cast<HWND>(w))); return 0;
    case WM_SETCURSOR:
      return OnSetCursor(FromHandle(reinterpret_cast<HWND>(w)),
                         LOWORD(static_cast<std::uintptr_t>(l)),
                         HIWORD(static_cast<std::uintptr_t>(l)))
                 ? 1
                 : 0;
    case WM_GETDLGCODE: return OnGetDlgCode();
    case WM_CLOSE: OnClose(); return 0;
    case WM_SHOWWINDOW: OnShowWindow(w != 0, static_cast<UINT>(l)); return 0;
    case WM_CONTEXTMENU: OnContextMenu(FromHandle(reinterpret_cast<HWND>(w)), point()); return 0;
    case WM_SYSCOLORCHANGE: OnSysColorChange(); return 0;
    case WM_CAPTURECHANGED: OnCaptureChanged(FromHandle(reinterpret_cast<HWND>(l))); return 0;
    case WM_CANCELMODE: OnCancelMode(); return 0;
    case WM_COMMAND: return OnCommand(w, l) ? 0 : DefWindowProc(msg, w, l);
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (OnNotify(w, l, &result)) return result;
      return DefWindowProc(msg, w, l);
    }
    default: return DefWindowProc(msg, w, l);
  }
}

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM w, LPARAM l) {
  if (m_current.fromQt && m_current.msg == msg && !dynamic_cast<fw::CPeerWidget*>(m_peer.data())) {
    m_current.defaultRequested = true;
    return 0;
  }
  switch (msg) {
    case WM_SETTEXT:
      if (m_peer && l) {
        const auto& text = *reinterpret_cast<const std::string*>(l);
        if (m_peer->isWindow())
          m_peer->setWindowTitle(fw::ToQ(text));
        else
          m_peer->setProperty("fw_text", fw::ToQ(text));
        m_peer->update();
      }
      return 1;
    case WM_GETTEXT:
      if (m_peer && l) {
        QString t =
            m_peer->isWindow() ? m_peer->windowTitle() : m_peer->property("fw_text").toString();
        *reinterpret_cast<std::string*>(l) = fw::FromQ(t);
      }
      return 1;
    case WM_SETFONT: {
      m_font = reinterpret_cast<CFont*>(w);
      if (m_peer && m_font && m_font->IsValid()) {
        m_peer->setFont(m_font->font());
        if (l) m_peer->update();
      }
      return 0;
    }
    case WM_GETFONT: return reinterpret_cast<LRESULT>(m_font);
    case WM_CLOSE: (void)DestroyWindow(); return 0;
    case WM_ERASEBKGND: {
      auto* dc = reinterpret_cast<CDC*>(w);
      if (!dc) return 0;
      CRect r;
      GetClientRect(&r);
      dc->FillRect(r, GetSysColorBrush(m_backgroundColourIndex));
      return 1;
    }
    case WM_SETCURSOR: {
      // The parent may decide first; else the class cursor (the arrow).
      if (CWnd* parent = GetParent(); parent && !(m_peer && m_peer->isWindow()))
        if (parent->SendMessage(WM_SETCURSOR, w, l)) return 1;
      return 0;
    }
    case BM_GETCHECK:
    case BM_SETCHECK:
    case BM_GETSTATE:
    case BM_SETSTATE:
      // Buttons answer these themselves; a plain window has no check.
      return 0;
    default: return 0;
  }
}

bool CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (OnCmdMsg(LOWORD(wParam), static_cast<int>(HIWORD(wParam)), nullptr)) return true;
  // Menu commands and accelerators (no control) have code 0 or 1.
  if (lParam == 0 && HIWORD(wParam) == 1) return OnCmdMsg(LOWORD(wParam), CN_COMMAND, nullptr);
  return false;
}

bool CWnd::OnNotify(WPARAM, LPARAM, LRESULT*) {
  return false;
}

int CWnd::OnCreate(CREATESTRUCT*) {
  return static_cast<int>(Default());
}
void CWnd::OnDestroy() {
  Default();
}

void CWnd::OnPaint() {
  if (m_ownsPeer && dynamic_cast<fw::CPeerWidget*>(m_peer.data())) {
    CPaintDC dc(this);  // erases the background, validates
    return;
  }
  Default();
}

bool CWnd::OnEraseBkgnd(CDC*) {
  return Default() != 0;
}
void CWnd::OnSize(UINT, int, int) {
  Default();
}
void CWnd::OnMove(int, int) {
  Default();
}
void CWnd::OnLButtonDown(UINT, CPoint) {
  Default();
}
void CWnd::OnLButtonUp(UINT, CPoint) {
  Default();
}
void CWnd::OnLButtonDblClk(UINT, CPoint) {
  Default();
}
void CWnd::OnRButtonDown(UINT, CPoint) {
  Default();
}
void CWnd::OnRButtonUp(UINT, CPoint) {
  Default();
}
void CWnd::OnRButtonDblClk(UINT, CPoint) {
  Default();
}
void CWnd::OnMButtonDown(UINT, CPoint) {
  Default();
}
void CWnd::OnMButtonUp(UINT, CPoint) {
  Default();
}
void CWnd::OnMouseMove(UINT, CPoint) {
  Default();
}
bool CWnd::OnMouseWheel(UINT, short, CPoint) {
  return Default() != 0;
}
void CWnd::OnMouseLeave() {
  Default();
}
void CWnd::OnKeyDown(UINT, UINT, UINT) {
  Default();
}
void CWnd::OnKeyUp(UINT, UINT, UINT) {
  Default();
}
void CWnd::OnSysKeyDown(UINT, UINT, UINT) {
  Default();
}
void CWnd::OnSysKeyUp(UINT, UINT, UINT) {
  Default();
}
void CWnd::OnChar(UINT, UINT, UINT) {
  Default();
}
void CWnd::OnTimer(UINT_PTR) {
  Default();
}
void CWnd::OnSetFocus(CWnd*) {
  Default();
}
void CWnd::OnKillFocus(CWnd*) {
  Default();
}
bool CWnd::OnSetCursor(CWnd*, UINT, UINT) {
  return Default() != 0;
}
bool CWnd::TranslatesKey(QKeyCombination) const {
  return false;
}
UINT CWnd::OnGetDlgCode() {
  return static_cast<UINT>(Default());
}
void CWnd::OnClose() {
  Default();
}
void CWnd::OnShowWindow(bool, UINT) {
  Default();
}
void CWnd::OnContextMenu(CWnd*, CPoint) {
  Default();
}
void CWnd::OnSysColorChange() {
  Default();
}
void CWnd::OnCaptureChanged(CWnd*) {
  Default();
}
void CWnd::OnCancelMode() {
  if (::GetCapture() == this) (void)ReleaseCapture();  // nothing refuses a release
}

// ---- Qt events into messages ------------------------------------------------------------------

bool CWnd::DispatchInput(UINT msg, WPARAM w, LPARAM l) {
  // PreTranslateMessage on the target and its parents, then the handler.
  // Key messages had their turn on the key route (CKeyRoute) already.
  MSG m{m_peer.data(), msg, w, l};
  std::shared_ptr<bool> alive = m_alive;
  const bool key = msg == WM_KEYDOWN || msg == WM_KEYUP || msg == WM_SYSKEYDOWN ||
                   msg == WM_SYSKEYUP || msg == WM_CHAR;
  for (CWnd* c = key ? nullptr : this; c; c = c->GetParent()) {
    if (c->PreTranslateMessage(&m)) return false;
    if (!*alive || !m_peer) return false;
    if (c->widget() && c->widget()->isWindow()) break;
  }
  Current saved = m_current;
  m_current = Current{msg, true, false, w, l};
  WindowProc(msg, w, l);
  if (!*alive) return false;
  bool pass = m_current.defaultRequested;
  m_current = saved;
  return pass;
}

bool CWnd::HandleQtEvent(QObject*, QEvent* e) {
  struct Depth {
    Depth() { ++g_dispatchDepth; }
    ~Depth() { --g_dispatchDepth; }
  } depth;
  std::shared_ptr<bool> alive = m_alive;
  const bool own = dynamic_cast<fw::CPeerWidget*>(m_peer.data()) != nullptr;
  switch (e->type()) {
    case QEvent::Paint: {
      auto* pe = static_cast<QPaintEvent*>(e);
      CRect saved = m_paintRect;
      m_paintRect = CRect::FromQt(pe->rect());
      bool pass = DispatchInput(WM_PAINT, 0, 0);
      if (*alive) m_paintRect = saved;
      return *alive ? !pass : true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
      auto* me = static_cast<QMouseEvent*>(e);
      QPoint p = me->position().toPoint();
      LPARAM l = MAKELPARAM(p.x(), p.y());
      UINT msg = WM_MOUSEMOVE;
      Qt::MouseButton b = me->button();
      if (e->type() == QEvent::MouseButtonPress)
        msg = b == Qt::RightButton    ? WM_RBUTTONDOWN
              : b == Qt::MiddleButton ? WM_MBUTTONDOWN
                                      : WM_LBUTTONDOWN;
      else if (e->type() == QEvent::MouseButtonRelease)
        msg = b == Qt::RightButton    ? WM_RBUTTONUP
              : b == Qt::MiddleButton ? WM_MBUTTONUP
                                      : WM_LBUTTONUP;
      else if (e->type() == QEvent::MouseButtonDblClick)
        msg = b == Qt::RightButton    ? WM_RBUTTONDBLCLK
              : b == Qt::MiddleButton ? WM_MBUTTONDBLCLK
                                      : WM_LBUTTONDBLCLK;
      if (msg == WM_MOUSEMOVE || msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN) {
        // The cursor is decided before the mouse message, by WM_SETCURSOR.
        CWndHub& hub = CWndHub::Get();
        QPointer<QWidget> savedTarget = hub.cursorTarget;
        hub.cursorTarget = m_peer;
        LRESULT set = SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(m_peer.data()),
                                  MAKELPARAM(HTCLIENT, msg));
        hub.cursorTarget = savedTarget;
        if (!*alive) return true;
        if (!set && own && m_peer) m_peer->unsetCursor();
      }
      bool pass = DispatchInput(msg, MouseFlags(me->buttons(), me->modifiers()), l);
      if (!*alive) return true;
      if (own) return true;
      return !pass;
    }
    case QEvent::Wheel: {
      auto* we = static_cast<QWheelEvent*>(e);
      QPoint g = we->globalPosition().toPoint();
      int delta = we->angleDelta().y();
      if (delta == 0) delta = we->angleDelta().x();
      UINT flags = MouseFlags(we->buttons(), we->modifiers());
      bool pass =
          DispatchInput(WM_MOUSEWHEEL, MAKEWPARAM(flags, static_cast<unsigned>(delta & 0xFFFF)),
                        MAKELPARAM(g.x(), g.y()));
      return *alive ? (own || !pass) : true;
    }
    case QEvent::Leave: {
      DispatchInput(WM_MOUSELEAVE, 0, 0);
      return false;
    }
    case QEvent::ShortcutOverride: {
      auto* ke = static_cast<QKeyEvent*>(e);
      // A text editor keeps the clipboard and undo keys: Ctrl+C copies the
      // text selected in it, not what the frame's Copy would take.
      if (IsTextEditKey(m_peer, ke)) return false;
      // The top-level window's own keys come first; the focused window sees
      // them only when no shortcut takes them.
      if (const CWnd* top = m_peer ? CWnd::FromHandlePermanent(m_peer->window()) : nullptr;
          top && top->TranslatesKey(ke->keyCombination())) {
        e->ignore();
        return true;
      }
      // Otherwise a window that wants every key gets it before any shortcut does.
      UINT code = static_cast<UINT>(
          SendMessage(WM_GETDLGCODE, fw::VirtualKeyFromQt(ke->key(), ke->modifiers())));
      if (!*alive) return true;
      if (code & DLGC_WANTALLKEYS) {
        e->accept();
        return true;
      }
      return false;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      auto* ke = static_cast<QKeyEvent*>(e);
      const bool press = e->type() == QEvent::KeyPress;
      unsigned vk = fw::VirtualKeyFromQt(ke->key(), ke->modifiers());
      if (vk == 0) return false;
      // Typed into this window, not passing on its way up from a child.
      QWidget* focus = m_peer ? m_peer->window()->focusWidget() : nullptr;
      const bool typedHere = m_peer && TypedInto(focus ? focus : m_peer->window()) == this;
      bool special = vk == VK_TAB || vk == VK_RETURN || vk == VK_ESCAPE;
      if (special) {
        // The dialog manager's keys: only a window that asks for them gets
        // them; otherwise Qt moves the focus or the dialog ends.
        UINT code = static_cast<UINT>(SendMessage(WM_GETDLGCODE, vk));
        if (!*alive) return true;
        bool wants = (code & DLGC_WANTALLKEYS) || (vk == VK_TAB && (code & DLGC_WANTTAB));
        if (!wants) return false;
      }
      const LPARAM l = KeyLParam(ke, press);
      QPointer<QWidget> peer = m_peer;
      bool pass = DispatchInput(KeyMessage(ke, press), vk, l);
      if (!*alive || !peer) return true;
      if (press) {
        QString text = ke->text();
        char32_t first = text.isEmpty() ? 0 : text.toUcs4().value(0);
        int ch = fw::CharFromKey(vk, ke->modifiers(), first);
        if (ch >= 0) {
          // The character is a message of its own, made after the key down was handled.
          const bool taken =
              typedHere && CKeyRoute::OfferChar(this, static_cast<WPARAM>(ch), l, ke);
          if (!*alive || !peer) return true;
          const bool passChar = !taken && DispatchInput(WM_CHAR, static_cast<WPARAM>(ch), l);
          if (!*alive || !peer) return true;
          pass = pass && passChar;
        }
      }
      // Shift+F10 asks for the focus window's context menu as the Menu key
      // does; Qt makes that request for the Menu key only.
      if (press && vk == VK_F10 && peer == QApplication::focusWidget() &&
          (ke->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier |
                              Qt::MetaModifier)) == Qt::ShiftModifier) {
        // Where Qt puts the Menu key's: a text editor's cursor.
        const QPoint at = peer->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, peer->mapToGlobal(at),
                               ke->modifiers());
        QCoreApplication::sendEvent(peer, &menu);
        if (!*alive || !peer) return true;
      }
      if (special) return true;
      return !pass;
    }
    case QEvent::Resize: {
      auto* re = static_cast<QResizeEvent*>(e);
      m_eraseNeeded = true;
      DispatchInput(WM_SIZE, SIZE_RESTORED, MAKELPARAM(re->size().width(), re->size().height()));
      return false;
    }
    case QEvent::Move: {
      auto* mv = static_cast<QMoveEvent*>(e);
      DispatchInput(WM_MOVE, 0, MAKELPARAM(mv->pos().x(), mv->pos().y()));
      return false;
    }
    case QEvent::Show:
      m_eraseNeeded = true;
      DispatchInput(WM_SHOWWINDOW, 1, 0);
      return false;
    case QEvent::Hide: DispatchInput(WM_SHOWWINDOW, 0, 0); return false;
    case QEvent::Close: {
      // The window's close box: WM_CLOSE decides (DestroyWindow by default).
      bool pass = DispatchInput(WM_CLOSE, 0, 0);
      if (!*alive) return true;
      if (pass && m_peer) {
        (void)DestroyWindow();  // the peer is there: it goes
        return true;
      }
      e->ignore();
      return true;
    }
    case QEvent::ContextMenu: {
      auto* ce = static_cast<QContextMenuEvent*>(e);
      // From the keyboard the point is (-1, -1): the window places the menu
      // at its current item.
      const LPARAM at = ce->reason() == QContextMenuEvent::Keyboard
                            ? LPARAM(-1)
                            : MAKELPARAM(ce->globalPos().x(), ce->globalPos().y());
      bool pass = DispatchInput(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_peer.data()), at);
      return *alive ? !pass : true;
    }
    case QEvent::PaletteChange:
    case QEvent::StyleChange: return false;
    default: return false;
  }
}

// ---- DCs ------------------------------------------------------------------------------------

CPaintDC::CPaintDC(CWnd* wnd) {
  QWidget* w = wnd ? wnd->widget() : nullptr;
  if (!w) return;
  m_ps.rcPaint =
      wnd->m_paintRect.IsRectEmpty() ? CRect(0, 0, w->width(), w->height()) : wnd->m_paintRect;
  if (w->testAttribute(Qt::WA_WState_InPaintEvent)) {
    m_own = std::make_unique<QPainter>(w);
    Begin(m_own.get(), nullptr);
  }
  if (CFont* f = wnd->GetFont()) SelectObject(f);
  if (wnd->m_eraseNeeded) {
    wnd->m_eraseNeeded = false;
    m_ps.fErase =
        wnd->SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(static_cast<CDC*>(this))) == 0;
  }
}

CPaintDC::~CPaintDC() {
  End();
}

CClientDC::CClientDC(CWnd* wnd) {
  if (wnd) {
    if (CFont* f = wnd->GetFont())
      SelectObject(f);
    else if (wnd->widget())
      m_qfont = wnd->widget()->font();
  }
}
