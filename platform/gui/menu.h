// Menus: a tree of items the program builds and changes through CMenu, shown
// by Qt as a QMenuBar (a frame's menu) and QMenus (pop-ups). The tree is the
// truth; the widgets are rebuilt from it each time a pop-up opens, right
// after its owner window had the chance to update the items (update-UI).
// Items flagged MF_OWNERDRAW are measured and drawn by the menu object that
// owns their pop-up (MeasureItem / DrawItem), as owner-drawn items are.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/gui/cmdtarget.h"
#include "platform/gui/wnd.h"

class QMenu;
class QMenuBar;
class CMenu;

namespace fw {
struct CMenuNode;
}
using HMENU = fw::CMenuNode*;

// Item flags.
inline constexpr UINT MF_STRING = 0x0000;
inline constexpr UINT MF_BYCOMMAND = 0x0000;
inline constexpr UINT MF_ENABLED = 0x0000;
inline constexpr UINT MF_UNCHECKED = 0x0000;
inline constexpr UINT MF_GRAYED = 0x0001;
inline constexpr UINT MF_DISABLED = 0x0002;
inline constexpr UINT MF_CHECKED = 0x0008;
inline constexpr UINT MF_POPUP = 0x0010;
inline constexpr UINT MF_MENUBARBREAK = 0x0020;
inline constexpr UINT MF_MENUBREAK = 0x0040;
inline constexpr UINT MF_END = 0x0080;
inline constexpr UINT MF_OWNERDRAW = 0x0100;
inline constexpr UINT MF_USECHECKBITMAPS = 0x0200;  // a radio item: a bullet, not a tick
inline constexpr UINT MF_BYPOSITION = 0x0400;
inline constexpr UINT MF_SEPARATOR = 0x0800;
inline constexpr UINT MF_HELP = 0x4000;
inline constexpr UINT MFT_RADIOCHECK = MF_USECHECKBITMAPS;

// TrackPopupMenu flags.
inline constexpr UINT TPM_LEFTBUTTON = 0x0000;
inline constexpr UINT TPM_LEFTALIGN = 0x0000;
inline constexpr UINT TPM_TOPALIGN = 0x0000;
inline constexpr UINT TPM_RIGHTBUTTON = 0x0002;
inline constexpr UINT TPM_CENTERALIGN = 0x0004;
inline constexpr UINT TPM_RIGHTALIGN = 0x0008;
inline constexpr UINT TPM_VCENTERALIGN = 0x0010;
inline constexpr UINT TPM_BOTTOMALIGN = 0x0020;
inline constexpr UINT TPM_NONOTIFY = 0x0080;
inline constexpr UINT TPM_RETURNCMD = 0x0100;

// Owner drawing.
inline constexpr UINT ODT_MENU = 1;
inline constexpr UINT ODA_DRAWENTIRE = 0x1;
inline constexpr UINT ODA_SELECT = 0x2;
inline constexpr UINT ODS_SELECTED = 0x1;
inline constexpr UINT ODS_GRAYED = 0x2;
inline constexpr UINT ODS_DISABLED = 0x4;
inline constexpr UINT ODS_CHECKED = 0x8;

// Sent to the owner window before a pop-up opens: wParam the pop-up's
// HMENU, lParam its position in the parent (low word).
inline constexpr UINT WM_INITMENUPOPUP = 0x0117;

struct DRAWITEMSTRUCT {
  UINT CtlType = ODT_MENU;
  UINT CtlID = 0;
  UINT itemID = 0;
  UINT itemAction = ODA_DRAWENTIRE;
  UINT itemState = 0;
  HMENU hMenu = nullptr;  // the menu the item belongs to
  CDC* hDC = nullptr;
  CRect rcItem;
  std::uintptr_t itemData = 0;
};

struct MEASUREITEMSTRUCT {
  UINT CtlType = ODT_MENU;
  UINT CtlID = 0;
  UINT itemID = 0;
  UINT itemWidth = 0;
  UINT itemHeight = 0;
  std::uintptr_t itemData = 0;
};

inline constexpr UINT kMenuItemMissing = 0xFFFFFFFF;  // GetMenuState / CheckMenuItem: no such item

class CMenu {
 public:
  CMenu() = default;
  // A menu object destroys the menu it holds (DestroyMenu).
  virtual ~CMenu();
  CMenu(const CMenu&) = delete;
  CMenu& operator=(const CMenu&) = delete;

  HMENU m_hMenu = nullptr;

  // The object for a menu handle: its permanent object, else a wrapper the
  // menu keeps for as long as it lives. nullptr for a dead handle.
  static CMenu* FromHandle(HMENU menu);
  static CMenu* FromHandlePermanent(HMENU menu);
  HMENU GetSafeHmenu() const { return m_hMenu; }
  operator HMENU() const { return m_hMenu; }

  bool CreateMenu();       // a menu bar
  bool CreatePopupMenu();  // a pop-up
  // The MENU resource of that id, current language first; false when missing.
  bool LoadMenu(unsigned id);
  // Destroys the menu and every pop-up it holds.
  virtual bool DestroyMenu();
  bool Attach(HMENU menu);
  HMENU Detach();

  // MF_POPUP: idOrPopup is the pop-up's HMENU cast to an integer. Owner-drawn
  // items (MF_OWNERDRAW) keep itemData for DrawItem and MeasureItem.
  bool AppendMenu(UINT flags, UINT_PTR idOrPopup = 0, const std::string& text = {},
                  std::uintptr_t itemData = 0);
  // Before the item at position (MF_BYPOSITION; past the end appends) or
  // before the item with that command. Virtual, as DeleteMenu, so that a
  // menu that draws its items can take in the items others put in (the
  // recent files).
  virtual bool InsertMenu(UINT position, UINT flags, UINT_PTR idOrPopup = 0,
                          const std::string& text = {}, std::uintptr_t itemData = 0);
  bool ModifyMenu(UINT position, UINT flags, UINT_PTR idOrPopup = 0, const std::string& text = {},
                  std::uintptr_t itemData = 0);
  // Takes the item out; a pop-up lives on.
  bool RemoveMenu(UINT position, UINT flags);
  // Takes the item out and destroys its pop-up.
  virtual bool DeleteMenu(UINT position, UINT flags);

  // Previous MF_CHECKED / MF_GRAYED | MF_DISABLED state, kMenuItemMissing when none.
  UINT CheckMenuItem(UINT item, UINT flags);
  UINT EnableMenuItem(UINT item, UINT flags);
  // Item flags; for a pop-up also its item count in the high byte of the
  // low word. kMenuItemMissing when there is no such item.
  UINT GetMenuState(UINT item, UINT flags) const;
  int GetMenuItemCount() const;  // -1 without a menu
  // 0 for a separator, -1 (0xFFFFFFFF) for a pop-up or a bad position.
  UINT GetMenuItemID(int position) const;
  int GetMenuString(UINT item, std::string& text, UINT flags) const;
  std::uintptr_t GetMenuItemData(UINT item, UINT flags) const;
  CMenu* GetSubMenu(int position) const;

  // Shows the pop-up at a screen point and waits for the choice. With
  // TPM_RETURNCMD the chosen command (0: none) is returned; otherwise the
  // command is posted to owner as WM_COMMAND and the result is 1. owner also
  // gets WM_INITMENUPOPUP before each pop-up opens.
  int TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, const CRect* rect = nullptr);

  virtual void DrawItem(DRAWITEMSTRUCT* dis);
  virtual void MeasureItem(MEASUREITEMSTRUCT* mis);
};

// The state of one menu item as update-UI handlers set it.
class CMenuCmdUI : public CCmdUI {
 public:
  HMENU m_menu = nullptr;
  void Enable(bool on = true) override;
  void SetCheck(int check = 1) override;
  void SetText(const std::string& text) override;
};

namespace fw {

bool IsMenu(HMENU menu);

// Asks target for the state of every command item of a pop-up (separators
// and pop-ups are skipped); disableIfNoHandler disables items no one handles.
void UpdateMenuItems(HMENU popup, CCmdTarget* target, bool disableIfNoHandler);

// The window that receives a menu's commands and update requests.
void SetMenuOwner(HMENU menu, CWnd* owner);

// Shows a menu bar's top-level items in a QMenuBar; choosing an item posts
// WM_COMMAND to owner. Call again after changing the top level.
void ShowMenuInBar(QMenuBar* bar, HMENU menu, CWnd* owner);

// The pop-up widget of a menu, its actions built from the items (for
// showing elsewhere and for tests that paint or click it).
QMenu* PopupWidget(HMENU popup);
// Rebuilds the widget's actions from the items now (opening does it too).
void RefreshPopupWidget(HMENU popup);

}  // namespace fw
