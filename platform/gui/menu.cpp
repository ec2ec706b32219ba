#include "platform/gui/menu.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QScreen>
#include <QStyleOptionMenuItem>
#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "platform/gui/qtstring.h"
#include "platform/resourcebundle.h"

namespace fw {

struct CMenuItemRec {
  UINT flags = 0;  // MF_* without MF_BYPOSITION
  UINT id = 0;
  HMENU sub = nullptr;
  std::string text;
  std::uintptr_t data = 0;
};

struct CMenuNode {
  std::uint64_t serial = 0;
  bool popup = false;
  std::vector<CMenuItemRec> items;
  CMenu* permanent = nullptr;
  std::unique_ptr<CMenu> temporary;
  QPointer<QWidget> owner;
  QPointer<QMenu> widget;  // a CMenuPopup
};

namespace {

std::set<CMenuNode*>& Live() {
  static std::set<CMenuNode*> live;
  return live;
}
std::map<std::uint64_t, CMenuNode*>& BySerial() {
  static std::map<std::uint64_t, CMenuNode*> bySerial;
  return bySerial;
}
// Inside TrackPopupMenu: the tracker reports the choice, the actions do not.
int g_tracking = 0;

HMENU NewNode(bool popup) {
  static std::uint64_t next = 0;
  auto* node = new CMenuNode();
  node->serial = ++next;
  node->popup = popup;
  Live().insert(node);
  BySerial()[node->serial] = node;
  return node;
}

HMENU Alive(HMENU h) {
  return h && Live().count(h) ? h : nullptr;
}

// Owner-drawn actions carry their item's label and then a token: the label
// gives Qt the mnemonic an open pop-up answers, the token lets the style find
// the item (the style option has no other link to the action). The text
// after a tab stays out, or Qt would widen the pop-up by an accelerator
// column the item draws itself.
constexpr char16_t kTokenMark = 0x1;
QString Token(std::size_t index, const std::string& text) {
  QString label = fw::ToQ(text.substr(0, text.find('\t')));
  label.remove(QChar(kTokenMark));
  return label + QChar(kTokenMark) + QString::number(index);
}
int IndexFromToken(const QString& text) {
  const qsizetype mark = text.lastIndexOf(QChar(kTokenMark));
  if (mark < 0) return -1;
  bool ok = false;
  const int i = text.mid(mark + 1).toInt(&ok);
  return ok && i >= 0 ? i : -1;
}

// Item at a position or with a command (searching the pop-ups, as by-command
// operations do). The menu that holds the item comes back in *owner.
CMenuItemRec* FindItem(HMENU menu, UINT item, UINT flags, HMENU* holder, std::size_t* index,
                       int depth = 0) {
  if (!Alive(menu) || depth > 32) return nullptr;
  if (flags & MF_BYPOSITION) {
    if (item >= menu->items.size()) return nullptr;
    if (holder) *holder = menu;
    if (index) *index = item;
    return &menu->items[item];
  }
  for (std::size_t i = 0; i < menu->items.size(); ++i) {
    CMenuItemRec& rec = menu->items[i];
    if (!(rec.flags & MF_POPUP) && !(rec.flags & MF_SEPARATOR) && rec.id == item) {
      if (holder) *holder = menu;
      if (index) *index = i;
      return &rec;
    }
  }
  for (CMenuItemRec& rec : menu->items)
    if (rec.flags & MF_POPUP)
      if (CMenuItemRec* found = FindItem(Alive(rec.sub), item, flags, holder, index, depth + 1))
        return found;
  return nullptr;
}

void DestroyNode(HMENU node, int depth = 0);

void DeleteWidget(QWidget* w) {
  if (!w) return;
  if (DispatchDepth() > 0 || w->isVisible() || QApplication::activePopupWidget())
    w->deleteLater();
  else
    delete w;
}

void DestroyNode(HMENU node, int depth) {
  if (!Alive(node)) return;
  // Out of the registry first, so a cycle cannot come back here.
  Live().erase(node);
  BySerial().erase(node->serial);
  if (depth < 32)
    for (CMenuItemRec& rec : node->items)
      if (rec.flags & MF_POPUP) DestroyNode(Alive(rec.sub), depth + 1);
  if (node->permanent) node->permanent->m_hMenu = nullptr;
  if (node->temporary) node->temporary->m_hMenu = nullptr;
  DeleteWidget(node->widget);
  delete node;
}

void PostCommand(QWidget* ownerWidget, UINT id) {
  CWnd* owner = CWnd::FromHandlePermanent(ownerWidget);
  if (owner)
    (void)owner->PostMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0);  // a closing owner drops it
}

// ---- owner drawing through the style -------------------------------------------

class CMenuPopup;
CMenuItemRec* TokenItem(const QWidget* widget, const QString& text, HMENU* node,
                        std::size_t* index);

class COwnerDrawStyle : public QProxyStyle {
 public:
  COwnerDrawStyle() : QProxyStyle(QApplication::style()->name()) {}

  QSize sizeFromContents(ContentsType type, const QStyleOption* opt, const QSize& size,
                         const QWidget* widget) const override {
    if (type == CT_MenuItem) {
      auto* mi = qstyleoption_cast<const QStyleOptionMenuItem*>(opt);
      HMENU node = nullptr;
      std::size_t index = 0;
      if (CMenuItemRec* rec = mi ? TokenItem(widget, mi->text, &node, &index) : nullptr) {
        MEASUREITEMSTRUCT mis;
        mis.itemID = rec->id;
        mis.itemData = rec->data;
        if (CMenu* menu = CMenu::FromHandlePermanent(node))
          menu->MeasureItem(&mis);
        else if (CWnd* owner = CWnd::FromHandlePermanent(node->owner))
          owner->SendMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
        // Items take the width of the widest anyway; a zero width would hide the item.
        return QSize(std::max(static_cast<int>(mis.itemWidth), 1),
                     static_cast<int>(mis.itemHeight));
      }
    }
    return QProxyStyle::sizeFromContents(type, opt, size, widget);
  }

  void drawControl(ControlElement element, const QStyleOption* opt, QPainter* painter,
                   const QWidget* widget) const override {
    if (element == CE_MenuItem) {
      auto* mi = qstyleoption_cast<const QStyleOptionMenuItem*>(opt);
      HMENU node = nullptr;
      std::size_t index = 0;
      if (CMenuItemRec* rec = mi ? TokenItem(widget, mi->text, &node, &index) : nullptr) {
        CDC dc(painter);
        DRAWITEMSTRUCT dis;
        dis.itemID = rec->id;
        dis.itemData = rec->data;
        dis.hMenu = node;
        dis.hDC = &dc;
        dis.rcItem = CRect::FromQt(opt->rect);
        if (opt->state & State_Selected) dis.itemState |= ODS_SELECTED;
        if (rec->flags & MF_GRAYED) dis.itemState |= ODS_GRAYED;
        if (rec->flags & MF_DISABLED) dis.itemState |= ODS_DISABLED;
        if (rec->flags & MF_CHECKED) dis.itemState |= ODS_CHECKED;
        const bool hasSub = (rec->flags & MF_POPUP) != 0;
        painter->save();
        if (CMenu* menu = CMenu::FromHandlePermanent(node))
          menu->DrawItem(&dis);
        else if (CWnd* owner = CWnd::FromHandlePermanent(node->owner))
          owner->SendMessage(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
        painter->restore();
        if (hasSub) {
          // The pop-up arrow is the menu's, not the item's, as with owner-drawn items.
          QStyleOption arrow(*opt);
          const int size = std::min(opt->rect.height(), 9);
          arrow.rect = QRect(opt->rect.right() - size - 4,
                             opt->rect.top() + (opt->rect.height() - size) / 2, size, size);
          QProxyStyle::drawPrimitive(PE_IndicatorArrowRight, &arrow, painter, widget);
        }
        return;
      }
    }
    QProxyStyle::drawControl(element, opt, painter, widget);
  }
};

// One style of a kind for the application's menus, freed with the application.
template <class Style>
Style* SharedStyle() {
  static QPointer<Style> style;
  if (!style) {
    style = new Style();
    style->setParent(qApp);
  }
  return style;
}

// The menu bar's titles in the desktop style, except that the title its
// keyboard mode is on shows highlighted, as an open menu's does: the style
// shows no other, and a menu bar holding the keyboard must look like it.
class CMenuBarStyle : public QProxyStyle {
 public:
  CMenuBarStyle() : QProxyStyle(QApplication::style()->name()) {}

  void drawControl(ControlElement element, const QStyleOption* opt, QPainter* painter,
                   const QWidget* widget) const override {
    const auto* mi = qstyleoption_cast<const QStyleOptionMenuItem*>(opt);
    if (element == CE_MenuBarItem && mi && (mi->state & State_Selected) && widget &&
        widget->hasFocus()) {
      QStyleOptionMenuItem shown(*mi);
      shown.state |= State_Sunken;
      QProxyStyle::drawControl(element, &shown, painter, widget);
      return;
    }
    QProxyStyle::drawControl(element, opt, painter, widget);
  }
};

class CMenuPopup : public QMenu {
 public:
  explicit CMenuPopup(std::uint64_t serial) : m_serial(serial) {
    setStyle(SharedStyle<COwnerDrawStyle>());
    connect(this, &QMenu::aboutToShow, this, [this] { AboutToShow(); });
  }

  HMENU Node() const {
    auto it = BySerial().find(m_serial);
    return it == BySerial().end() ? nullptr : it->second;
  }

  void Rebuild() {
    HMENU node = Node();
    clear();
    if (!node) return;
    for (std::size_t i = 0; i < node->items.size(); ++i) {
      const CMenuItemRec& rec = node->items[i];
      const bool owner = (rec.flags & MF_OWNERDRAW) != 0;
      if ((rec.flags & MF_SEPARATOR) && !owner) {
        addSeparator();
        continue;
      }
      QAction* a = addAction(owner ? Token(i, rec.text) : fw::ToQ(rec.text));
      // An owner-drawn separator is drawn, but never chosen.
      a->setEnabled(!(rec.flags & (MF_GRAYED | MF_DISABLED)) && !(rec.flags & MF_SEPARATOR));
      if (rec.flags & MF_CHECKED) {
        a->setCheckable(true);
        a->setChecked(true);
      }
      a->setProperty("fw_cmd", rec.id);
      if (rec.flags & MF_POPUP) {
        if (HMENU sub = Alive(rec.sub)) {
          sub->owner = node->owner;
          a->setMenu(PopupWidget(sub));
        }
        continue;
      }
      const UINT id = rec.id;
      connect(a, &QAction::triggered, this, [this, id] {
        if (g_tracking) return;  // TrackPopupMenu reports it
        fw::LeaveIdleMenuBar();  // before the command runs
        if (HMENU n = Node()) PostCommand(n->owner, id);
      });
    }
  }

 private:
  void AboutToShow() {
    HMENU node = Node();
    if (!node) return;
    if (CWnd* owner = CWnd::FromHandlePermanent(node->owner)) {
      owner->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(node), 0);
      node = Node();  // the owner may have destroyed it
      if (!node) return;
    }
    Rebuild();
  }

  std::uint64_t m_serial;
};

CMenuItemRec* TokenItem(const QWidget* widget, const QString& text, HMENU* node,
                        std::size_t* index) {
  auto* popup = dynamic_cast<const CMenuPopup*>(widget);
  int i = IndexFromToken(text);
  if (!popup || i < 0) return nullptr;
  HMENU n = popup->Node();
  if (!n || static_cast<std::size_t>(i) >= n->items.size()) return nullptr;
  *node = n;
  *index = static_cast<std::size_t>(i);
  return &n->items[static_cast<std::size_t>(i)];
}

void SetOwnerTree(HMENU menu, QWidget* owner, int depth = 0) {
  if (!Alive(menu) || depth > 32) return;
  menu->owner = owner;
  for (CMenuItemRec& rec : menu->items)
    if (rec.flags & MF_POPUP) SetOwnerTree(Alive(rec.sub), owner, depth + 1);
}

bool BuildFromTemplate(CMenu& menu, const std::vector<CMenuTemplateItem>& items, int depth) {
  if (depth > 32) return false;
  for (const CMenuTemplateItem& item : items) {
    UINT flags = MF_STRING;
    if (item.checked) flags |= MF_CHECKED;
    if (item.grayed) flags |= MF_GRAYED;
    if (item.inactive) flags |= MF_DISABLED;
    if (item.menuBreak) flags |= MF_MENUBREAK;
    if (item.menuBarBreak) flags |= MF_MENUBARBREAK;
    if (item.help) flags |= MF_HELP;
    if (item.separator) {
      menu.AppendMenu(MF_SEPARATOR);
    } else if (item.popup) {
      CMenu sub;
      if (!sub.CreatePopupMenu() || !BuildFromTemplate(sub, item.children, depth + 1)) return false;
      menu.AppendMenu(flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub.Detach()), item.text);
    } else {
      menu.AppendMenu(flags, item.id, item.text);
    }
  }
  return true;
}

CMenuItemRec MakeItem(UINT flags, UINT_PTR idOrPopup, const std::string& text,
                      std::uintptr_t data) {
  CMenuItemRec rec;
  rec.flags = flags & ~MF_BYPOSITION;
  if (flags & MF_POPUP)
    rec.sub = reinterpret_cast<HMENU>(idOrPopup);
  else if (!(flags & MF_SEPARATOR))
    rec.id = static_cast<UINT>(idOrPopup & 0xFFFF);
  else if (flags & MF_OWNERDRAW)
    rec.id = static_cast<UINT>(idOrPopup & 0xFFFF);
  rec.text = text;
  rec.data = data;
  return rec;
}

void Changed(HMENU menu) {
  // An open pop-up shows the change at once; a closed one at its next opening.
  if (menu && menu->widget && menu->widget->isVisible())
    static_cast<CMenuPopup*>(menu->widget.data())->Rebuild();
}

}  // namespace

bool IsMenu(HMENU menu) {
  return Alive(menu) != nullptr;
}

void SetMenuOwner(HMENU menu, CWnd* owner) {
  SetOwnerTree(menu, owner ? owner->widget() : nullptr);
}

QMenu* PopupWidget(HMENU popup) {
  if (!Alive(popup)) return nullptr;
  if (!popup->widget) {
    auto* w = new CMenuPopup(popup->serial);
    popup->widget = w;
    w->Rebuild();
  }
  return popup->widget;
}

void RefreshPopupWidget(HMENU popup) {
  if (QMenu* w = PopupWidget(popup)) static_cast<CMenuPopup*>(w)->Rebuild();
}

void ShowMenuInBar(QMenuBar* bar, HMENU menu, CWnd* owner) {
  if (!bar) return;
  if (bar->style() != SharedStyle<CMenuBarStyle>()) bar->setStyle(SharedStyle<CMenuBarStyle>());
  bar->clear();
  if (!Alive(menu)) return;
  SetMenuOwner(menu, owner);
  QPointer<QWidget> ownerWidget = owner ? owner->widget() : nullptr;
  for (const CMenuItemRec& rec : menu->items) {
    if (rec.flags & MF_SEPARATOR) continue;
    QAction* a = nullptr;
    if ((rec.flags & MF_POPUP) && Alive(rec.sub)) {
      QMenu* pm = PopupWidget(rec.sub);
      pm->setTitle(fw::ToQ(rec.text));
      a = bar->addMenu(pm);
    } else {
      a = bar->addAction(fw::ToQ(rec.text));
      const UINT id = rec.id;
      QObject::connect(a, &QAction::triggered, bar,
                       [ownerWidget, id] { PostCommand(ownerWidget, id); });
    }
    a->setEnabled(!(rec.flags & (MF_GRAYED | MF_DISABLED)));
  }
}

void UpdateMenuItems(HMENU popup, CCmdTarget* target, bool disableIfNoHandler) {
  CMenu* menu = CMenu::FromHandle(popup);
  if (!menu) return;
  // An update handler may put items in or take them out (the recent-file
  // list does): it leaves m_nIndex on the last item it dealt with.
  for (int i = 0; IsMenu(popup) && i < menu->GetMenuItemCount(); ++i) {
    const UINT id = menu->GetMenuItemID(i);
    if (id == 0 || id == kMenuItemMissing) continue;
    CMenuCmdUI ui;
    ui.m_menu = popup;
    ui.m_nID = id;
    ui.m_nIndex = static_cast<unsigned>(i);
    ui.DoUpdate(target, disableIfNoHandler);
    i = static_cast<int>(ui.m_nIndex);
  }
}

}  // namespace fw

using fw::CMenuItemRec;

// ---- CMenu ----------------------------------------------------------------------

CMenu::~CMenu() {
  if (fw::IsMenu(m_hMenu)) {
    if (m_hMenu->permanent == this) {
      m_hMenu->permanent = nullptr;
      CMenu::DestroyMenu();
    } else if (m_hMenu->temporary.get() != this) {
      CMenu::DestroyMenu();
    }
  }
}

CMenu* CMenu::FromHandlePermanent(HMENU menu) {
  return fw::IsMenu(menu) ? menu->permanent : nullptr;
}

CMenu* CMenu::FromHandle(HMENU menu) {
  if (!fw::IsMenu(menu)) return nullptr;
  if (menu->permanent) return menu->permanent;
  if (!menu->temporary) {
    menu->temporary = std::make_unique<CMenu>();
    menu->temporary->m_hMenu = menu;
  }
  return menu->temporary.get();
}

bool CMenu::CreateMenu() {
  if (fw::IsMenu(m_hMenu)) return false;
  return Attach(fw::NewNode(false));
}

bool CMenu::CreatePopupMenu() {
  if (fw::IsMenu(m_hMenu)) return false;
  return Attach(fw::NewNode(true));
}

bool CMenu::LoadMenu(unsigned id) {
  const fw::CMenuTemplate* t = fw::FindMenuResource(id);
  if (!t || fw::IsMenu(m_hMenu)) return false;
  CMenu built;
  if (!built.CreateMenu() || !fw::BuildFromTemplate(built, t->items, 0)) return false;
  return Attach(built.Detach());
}

bool CMenu::DestroyMenu() {
  HMENU h = m_hMenu;
  m_hMenu = nullptr;
  if (!fw::IsMenu(h)) return false;
  if (h->permanent == this) h->permanent = nullptr;
  fw::DestroyNode(h);
  return true;
}

bool CMenu::Attach(HMENU menu) {
  if (!fw::IsMenu(menu) || menu->permanent || fw::IsMenu(m_hMenu)) return false;
  m_hMenu = menu;
  menu->permanent = this;
  return true;
}

HMENU CMenu::Detach() {
  HMENU h = m_hMenu;
  m_hMenu = nullptr;
  if (fw::IsMenu(h) && h->permanent == this) h->permanent = nullptr;
  return h;
}

bool CMenu::AppendMenu(UINT flags, UINT_PTR idOrPopup, const std::string& text,
                       std::uintptr_t itemData) {
  if (!fw::IsMenu(m_hMenu)) return false;
  CMenuItemRec rec = fw::MakeItem(flags, idOrPopup, text, itemData);
  if ((flags & MF_POPUP) && (!fw::IsMenu(rec.sub) || rec.sub == m_hMenu)) return false;
  m_hMenu->items.push_back(std::move(rec));
  fw::Changed(m_hMenu);
  return true;
}

bool CMenu::InsertMenu(UINT position, UINT flags, UINT_PTR idOrPopup, const std::string& text,
                       std::uintptr_t itemData) {
  if (!fw::IsMenu(m_hMenu)) return false;
  CMenuItemRec rec = fw::MakeItem(flags, idOrPopup, text, itemData);
  if ((flags & MF_POPUP) && (!fw::IsMenu(rec.sub) || rec.sub == m_hMenu)) return false;
  HMENU holder = m_hMenu;
  std::size_t index = m_hMenu->items.size();
  if (flags & MF_BYPOSITION) {
    if (position < index) index = position;
  } else if (!fw::FindItem(m_hMenu, position, MF_BYCOMMAND, &holder, &index)) {
    return false;
  }
  holder->items.insert(holder->items.begin() + static_cast<std::ptrdiff_t>(index), std::move(rec));
  fw::Changed(holder);
  return true;
}

bool CMenu::ModifyMenu(UINT position, UINT flags, UINT_PTR idOrPopup, const std::string& text,
                       std::uintptr_t itemData) {
  HMENU holder = nullptr;
  CMenuItemRec* rec = fw::FindItem(m_hMenu, position, flags, &holder, nullptr);
  if (!rec) return false;
  CMenuItemRec next = fw::MakeItem(flags, idOrPopup, text, itemData);
  if ((flags & MF_POPUP) && (!fw::IsMenu(next.sub) || next.sub == holder)) return false;
  // A pop-up replaced by something else goes, as the platform frees it.
  if ((rec->flags & MF_POPUP) && rec->sub != next.sub) fw::DestroyNode(fw::Alive(rec->sub));
  *rec = std::move(next);
  fw::Changed(holder);
  return true;
}

bool CMenu::RemoveMenu(UINT position, UINT flags) {
  HMENU holder = nullptr;
  std::size_t index = 0;
  if (!fw::FindItem(m_hMenu, position, flags, &holder, &index)) return false;
  holder->items.erase(holder->items.begin() + static_cast<std::ptrdiff_t>(index));
  fw::Changed(holder);
  return true;
}

bool CMenu::DeleteMenu(UINT position, UINT flags) {
  HMENU holder = nullptr;
  std::size_t index = 0;
  CMenuItemRec* rec = fw::FindItem(m_hMenu, position, flags, &holder, &index);
  if (!rec) return false;
  HMENU sub = (rec->flags & MF_POPUP) ? rec->sub : nullptr;
  holder->items.erase(holder->items.begin() + static_cast<std::ptrdiff_t>(index));
  fw::DestroyNode(fw::Alive(sub));
  fw::Changed(holder);
  return true;
}

UINT CMenu::CheckMenuItem(UINT item, UINT flags) {
  HMENU holder = nullptr;
  CMenuItemRec* rec = fw::FindItem(m_hMenu, item, flags, &holder, nullptr);
  if (!rec) return kMenuItemMissing;
  UINT old = rec->flags & MF_CHECKED;
  rec->flags = (rec->flags & ~MF_CHECKED) | (flags & MF_CHECKED);
  fw::Changed(holder);
  return old;
}

UINT CMenu::EnableMenuItem(UINT item, UINT flags) {
  HMENU holder = nullptr;
  CMenuItemRec* rec = fw::FindItem(m_hMenu, item, flags, &holder, nullptr);
  if (!rec) return kMenuItemMissing;
  UINT old = rec->flags & (MF_GRAYED | MF_DISABLED);
  rec->flags = (rec->flags & ~(MF_GRAYED | MF_DISABLED)) | (flags & (MF_GRAYED | MF_DISABLED));
  fw::Changed(holder);
  return old;
}

UINT CMenu::GetMenuState(UINT item, UINT flags) const {
  const CMenuItemRec* rec = fw::FindItem(m_hMenu, item, flags, nullptr, nullptr);
  if (!rec) return kMenuItemMissing;
  UINT state = rec->flags;
  if ((rec->flags & MF_POPUP) && fw::IsMenu(rec->sub))
    state = (state & 0xFF) |
            (static_cast<UINT>(std::min<std::size_t>(rec->sub->items.size(), 255)) << 8);
  return state;
}

int CMenu::GetMenuItemCount() const {
  return fw::IsMenu(m_hMenu) ? static_cast<int>(m_hMenu->items.size()) : -1;
}

UINT CMenu::GetMenuItemID(int position) const {
  if (!fw::IsMenu(m_hMenu) || position < 0 ||
      static_cast<std::size_t>(position) >= m_hMenu->items.size())
    return kMenuItemMissing;
  const CMenuItemRec& rec = m_hMenu->items[static_cast<std::size_t>(position)];
  if (rec.flags & MF_POPUP) return kMenuItemMissing;
  if ((rec.flags & MF_SEPARATOR) && !(rec.flags & MF_OWNERDRAW)) return 0;
  return rec.id;
}

int CMenu::GetMenuString(UINT item, std::string& text, UINT flags) const {
  const CMenuItemRec* rec = fw::FindItem(m_hMenu, item, flags, nullptr, nullptr);
  text = rec ? rec->text : std::string();
  return static_cast<int>(text.size());
}

std::uintptr_t CMenu::GetMenuItemData(UINT item, UINT flags) const {
  const CMenuItemRec* rec = fw::FindItem(m_hMenu, item, flags, nullptr, nullptr);
  return rec ? rec->data : 0;
}

CMenu* CMenu::GetSubMenu(int position) const {
  if (!fw::IsMenu(m_hMenu) || position < 0 ||
      static_cast<std::size_t>(position) >= m_hMenu->items.size())
    return nullptr;
  const CMenuItemRec& rec = m_hMenu->items[static_cast<std::size_t>(position)];
  return (rec.flags & MF_POPUP) ? FromHandle(fw::Alive(rec.sub)) : nullptr;
}

int CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, const CRect*) {
  HMENU menu = m_hMenu;
  QMenu* w = fw::PopupWidget(menu);
  if (!w) return 0;
  fw::SetMenuOwner(menu, owner);
  QPointer<QMenu> guard = w;
  // The opening fills the actions (update-UI first); measure after that.
  QPoint at(x, y);
  if (flags & (TPM_RIGHTALIGN | TPM_CENTERALIGN | TPM_BOTTOMALIGN | TPM_VCENTERALIGN)) {
    fw::RefreshPopupWidget(menu);
    QSize size = w->sizeHint();
    if (flags & TPM_RIGHTALIGN)
      at.rx() -= size.width();
    else if (flags & TPM_CENTERALIGN)
      at.rx() -= size.width() / 2;
    if (flags & TPM_BOTTOMALIGN)
      at.ry() -= size.height();
    else if (flags & TPM_VCENTERALIGN)
      at.ry() -= size.height() / 2;
  }
  ++fw::g_tracking;
  QAction* chosen = nullptr;
  {
    fw::ModalScope scope;
    chosen = w->exec(at);
  }
  --fw::g_tracking;
  UINT id = 0;
  if (chosen && guard) id = chosen->property("fw_cmd").toUInt();
  if (flags & TPM_RETURNCMD) return static_cast<int>(id);
  if (id && owner) (void)owner->PostMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0);
  return 1;
}

void CMenu::DrawItem(DRAWITEMSTRUCT*) {}

void CMenu::MeasureItem(MEASUREITEMSTRUCT*) {}

// ---- update-UI of a menu item ------------------------------------------------------

void CMenuCmdUI::Enable(bool on) {
  CCmdUI::Enable(on);
  CMenu* menu = CMenu::FromHandle(m_menu);
  if (menu) menu->EnableMenuItem(m_nIndex, MF_BYPOSITION | (on ? MF_ENABLED : MF_GRAYED));
}

void CMenuCmdUI::SetCheck(int check) {
  CCmdUI::SetCheck(check);
  CMenu* menu = CMenu::FromHandle(m_menu);
  if (menu) menu->CheckMenuItem(m_nIndex, MF_BYPOSITION | (check ? MF_CHECKED : MF_UNCHECKED));
}

void CMenuCmdUI::SetText(const std::string& text) {
  CCmdUI::SetText(text);
  CMenu* menu = CMenu::FromHandle(m_menu);
  if (!menu) return;
  const UINT state = menu->GetMenuState(m_nIndex, MF_BYPOSITION);
  if (state == kMenuItemMissing || (state & (MF_OWNERDRAW | MF_POPUP))) return;
  menu->ModifyMenu(m_nIndex, MF_BYPOSITION | (state & (MF_CHECKED | MF_GRAYED | MF_DISABLED)),
                   menu->GetMenuItemID(static_cast<int>(m_nIndex)), text);
}
