// A menu whose items the program draws: each command shows the image of the
// toolbar button with the same command in a column at its left, items are
// drawn flat (or in a classic 3-D look on palette displays), and accelerator
// texts line up in a column. The menu bar itself stays plain text.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/gui/imagelist.h"
#include "platform/gui/menu.h"

class COwnerDrawMenu : public CMenu {
 public:
  // One owner-drawn item: given to the menu as the item's data.
  struct CItemRecord {
    std::string text;
    int privateIndex = -1;
    int sharedIndex = -1;  // image in the shared list, -1 for none
    int privateIndex2 = -1;
    UINT flags = 0;
    UINT_PTR idOrPopup = 0;
    CImageList* privateList = nullptr;
  };

  static constexpr COLORREF kMaskColour = RGB(192, 192, 192);
  static constexpr int kImageWidth = 16;
  static constexpr int kImageHeight = 15;

  COwnerDrawMenu();
  ~COwnerDrawMenu() override;

  void DrawItem(DRAWITEMSTRUCT* dis) override;
  void MeasureItem(MEASUREITEMSTRUCT* mis) override;
  // Builds the whole tree from a menu resource; false when it is missing.
  virtual bool LoadMenuById(unsigned id);
  // By name: "#128" or "128".
  virtual bool LoadMenu(const std::string& name);
  bool DestroyMenu() override;

  bool AppendOwnerDrawnItem(const std::string& text, UINT flags, UINT_PTR idOrPopup,
                            int toolbarId = -1);
  // Changes every item with the command in the tree: a given text replaces
  // the item's, a given list adds image `index` of it to the shared images.
  bool ModifyOwnerDrawnItem(const std::optional<std::string>& text, UINT id, CImageList* list,
                            int index);
  // Gives the menu's commands the images of a toolbar resource's buttons.
  bool LoadToolBarImages(unsigned toolbarId);
  bool RemoveMenu(UINT position, UINT flags);
  // A plain command item put into one of the pop-ups (the recent files are)
  // becomes owner-drawn with a record of its own, so it looks like the
  // others; the menu bar keeps plain items.
  bool InsertMenu(UINT position, UINT flags, UINT_PTR idOrPopup = 0, const std::string& text = {},
                  std::uintptr_t itemData = 0) override;
  // RemoveMenu, which frees the item's record, and the item's pop-up destroyed.
  bool DeleteMenu(UINT position, UINT flags) override;
  CMenu* GetSubMenu(int position) const { return CMenu::GetSubMenu(position); }

  const std::vector<std::unique_ptr<CItemRecord>>& records() const { return m_records; }
  bool loaded() const { return m_bLoaded; }

  // The images all owner-drawn menus share: per command four entries
  // (normal, faded, silhouette, greyscale), each 16 x 15.
  static CImageList& SharedImages();
  static const std::vector<UINT>& SharedImageCommands();
  // Adds image `index` of list for a command (replacing the command's
  // images when it has some); the index of the normal image.
  static int AddSharedImage(CImageList* list, int index, UINT command);
  static void ResetSharedImages();
  // Every owner-drawn pop-up of the process.
  static const std::vector<HMENU>& Popups();

  // Colour helpers: each channel moved towards white (lighten) or black
  // (darken) by f, for 0 < f <= 1; other factors leave the colour.
  static COLORREF Lighten(COLORREF colour, double f);
  static COLORREF Darken(COLORREF colour, double f);
  // Whether the desktop uses a themed look with its own menu colours.
  static bool IsThemeActive();
  // A toolbar bitmap as the menu uses it: its mask colour turned into the
  // button face, in a 16 x 15 list.
  static bool LoadToolBarBitmap(unsigned id, CImageList* list);

 protected:
  // The classic 3-D look is used on palette displays.
  virtual bool UseClassicStyle(CDC* dc) const;
  void DrawFlat(DRAWITEMSTRUCT* dis, const CItemRecord* rec);
  void DrawClassic(DRAWITEMSTRUCT* dis, const CItemRecord* rec);
  void DrawCheck(CDC& dc, const CRect& cell, bool radio) const;
  void DrawText(CDC& dc, const CItemRecord* rec, const CRect& rect, int left) const;

  // Check marks of the menu's own (none by default), shared with its pop-ups.
  CImageList* m_checkList = nullptr;
  int m_checkSelected = -1;
  int m_checkUnselected = -1;
  bool m_checkListBorrowed = false;
  int m_disabledMethod = 0;  // 0: embossed through the mask

 private:
  bool LoadLevel(COwnerDrawMenu& menu, const std::vector<fw::CMenuTemplateItem>& items, int depth);
  void AlignAccelerators();
  void RelabelTopLevel();
  CItemRecord* FindRecord(UINT id);
  void ModifyInTree(const std::optional<std::string>& text, UINT id, CImageList* list, int index,
                    bool* found, int depth);
  COwnerDrawMenu* OwnerOf(UINT id, int* position, int depth = 0);
  void EmptyPopup(COwnerDrawMenu* popup, int depth = 0);
  void ForgetPopup(HMENU popup);

  std::vector<std::unique_ptr<CItemRecord>> m_records;
  std::vector<HMENU> m_popups;
  std::vector<std::unique_ptr<COwnerDrawMenu>> m_popupMenus;
  bool m_bLoaded = false;
};
