#include "toolkit/ownerdrawmenu.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "platform/gui/qtstring.h"
#include "platform/resourcebundle.h"

namespace {

// Fixed settings of the look: flat, with the wider icon column, aligned
// accelerators.
constexpr bool kFlatStyle = true;
constexpr bool kExtendedSpacing = true;
constexpr int kSpacing = kFlatStyle && kExtendedSpacing ? 7 : 4;

std::vector<UINT>& SharedCommands() {
  static std::vector<UINT> ids;
  return ids;
}

std::vector<HMENU>& PopupList() {
  static std::vector<HMENU> popups;
  return popups;
}

CFont& MenuFont() {
  static CFont font;
  if (!font.IsValid()) {
    LOGFONT lf = fw::DefaultGuiLogFont();
    (void)font.CreateFontIndirect(&lf);  // without it the default font draws
  }
  return font;
}

int TextWidth(const std::string& text) {
  QString t = fw::ToQ(text);
  t.replace(QLatin1Char('\t'), QLatin1Char(' '));
  t.remove(QLatin1Char('&'));
  return QFontMetrics(MenuFont().font()).horizontalAdvance(t);
}

bool HasDerived(int index, UINT command) {
  const auto& ids = SharedCommands();
  if (index < 0 || static_cast<std::size_t>(index) + 3 >= ids.size()) return false;
  for (int k = 1; k <= 3; ++k)
    if (ids[static_cast<std::size_t>(index + k)] != command) return false;
  return true;
}

// The three derived pictures of an image, drawn on the button face: every
// pixel that is not the face changes, the face stays (and turns transparent).
QImage Derived(const QImage& icon, int kind) {
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  QImage base(COwnerDrawMenu::kImageWidth, COwnerDrawMenu::kImageHeight, QImage::Format_RGB32);
  base.fill(fw::ToQColor(face));
  const QRgb background = base.pixel(1, 1);
  {
    QPainter p(&base);
    p.drawImage(QPoint(0, 0), icon);
  }
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  for (int y = 0; y < base.height(); ++y) {
    for (int x = 0; x < base.width(); ++x) {
      const QRgb px = base.pixel(x, y);
      if (px == background) continue;
      const COLORREF c = RGB(qRed(px), qGreen(px), qBlue(px));
      COLORREF out = c;
      if (kind == 1) {
        out = COwnerDrawMenu::Lighten(c, 0.3);
      } else if (kind == 2) {
        out = COwnerDrawMenu::IsThemeActive() ? shadow : COwnerDrawMenu::Lighten(shadow, 0.49);
      } else {
        const double brightness = (qRed(px) + qGreen(px) + qBlue(px)) / 3.0 / 255.0;
        out = COwnerDrawMenu::Lighten(shadow, brightness);
      }
      base.setPixel(x, y, fw::ToQColor(out).rgb());
    }
  }
  return fw::MaskedImage(base, face);
}

void Frame(CDC& dc, const CRect& r, COLORREF colour) {
  CBrush brush(colour);
  dc.FrameRect(r, &brush);
}

}  // namespace

// ---- shared images and helpers -------------------------------------------------------

CImageList& COwnerDrawMenu::SharedImages() {
  static CImageList list;
  if (!list.IsValid()) list.Create(kImageWidth, kImageHeight, ILC_COLOR24 | ILC_MASK, 64, 16);
  return list;
}

const std::vector<UINT>& COwnerDrawMenu::SharedImageCommands() {
  return SharedCommands();
}

void COwnerDrawMenu::ResetSharedImages() {
  SharedImages().Remove(-1);
  SharedCommands().clear();
}

const std::vector<HMENU>& COwnerDrawMenu::Popups() {
  return PopupList();
}

int COwnerDrawMenu::AddSharedImage(CImageList* list, int index, UINT command) {
  if (!list) return -1;
  const QImage icon = list->GetImage(index);
  if (icon.isNull()) return -1;
  CImageList& shared = SharedImages();
  auto& ids = SharedCommands();
  auto it = std::find(ids.begin(), ids.end(), command);
  if (it != ids.end()) {
    const int k = static_cast<int>(it - ids.begin());
    shared.Replace(k, icon);
    if (HasDerived(k, command))
      for (int kind = 1; kind <= 3; ++kind) shared.Replace(k + kind, Derived(icon, kind));
    return k;
  }
  const int first = shared.GetImageCount();
  shared.Add(icon, CLR_NONE);
  for (int kind = 1; kind <= 3; ++kind) shared.Add(Derived(icon, kind), CLR_NONE);
  ids.insert(ids.end(), 4, command);
  return first;
}

COLORREF COwnerDrawMenu::Lighten(COLORREF c, double f) {
  if (!(f > 0.0 && f <= 1.0)) return c;
  auto ch = [f](int v) { return static_cast<int>(v + f * (255 - v)); };
  return RGB(ch(GetRValue(c)), ch(GetGValue(c)), ch(GetBValue(c)));
}

COLORREF COwnerDrawMenu::Darken(COLORREF c, double f) {
  if (!(f > 0.0 && f <= 1.0)) return c;
  auto ch = [f](int v) { return static_cast<int>(v - f * v); };
  return RGB(ch(GetRValue(c)), ch(GetGValue(c)), ch(GetBValue(c)));
}

bool COwnerDrawMenu::IsThemeActive() {
  // The desktop's theme does not colour our menus here; decided once.
  static const bool active = false;
  return active;
}

bool COwnerDrawMenu::LoadToolBarBitmap(unsigned id, CImageList* list) {
  CBitmap bitmap;
  if (!list || !bitmap.LoadBitmap(id)) return false;
  // The mask grey becomes the button face, which the list then leaves out.
  QImage& img = bitmap.image();
  img = img.convertToFormat(QImage::Format_ARGB32);
  const QRgb face = fw::ToQColor(GetSysColor(COLOR_BTNFACE)).rgb();
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if ((img.pixel(x, y) & 0xFFFFFF) == (qRgb(192, 192, 192) & 0xFFFFFF) &&
          qAlpha(img.pixel(x, y)) == 255)
        img.setPixel(x, y, face);
  if (!list->Create(kImageWidth, kImageHeight, ILC_COLOR24 | ILC_MASK, 0, 0)) return false;
  return list->Add(&bitmap, GetSysColor(COLOR_BTNFACE)) >= 0;
}

// ---- life ---------------------------------------------------------------------------------

COwnerDrawMenu::COwnerDrawMenu() = default;

COwnerDrawMenu::~COwnerDrawMenu() {
  COwnerDrawMenu::DestroyMenu();
}

void COwnerDrawMenu::ForgetPopup(HMENU popup) {
  auto& all = PopupList();
  all.erase(std::remove(all.begin(), all.end(), popup), all.end());
  m_popups.erase(std::remove(m_popups.begin(), m_popups.end(), popup), m_popups.end());
}

bool COwnerDrawMenu::DestroyMenu() {
  ForgetPopup(m_hMenu);
  for (HMENU h : std::vector<HMENU>(m_popups)) ForgetPopup(h);
  m_popupMenus.clear();
  m_records.clear();
  if (!m_checkListBorrowed) m_checkList = nullptr;
  m_bLoaded = false;
  return CMenu::DestroyMenu();
}

// ---- loading ------------------------------------------------------------------------------

bool COwnerDrawMenu::LoadMenu(const std::string& name) {
  std::string digits = name.size() > 1 && name[0] == '#' ? name.substr(1) : name;
  if (digits.empty() || digits.size() > 5 ||
      !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return false;
  const unsigned long id = std::stoul(digits);
  return id <= 0xFFFF && LoadMenuById(static_cast<unsigned>(id));
}

bool COwnerDrawMenu::LoadMenuById(unsigned id) {
  const fw::CMenuTemplate* t = fw::FindMenuResource(id);
  if (!t) return false;
  DestroyMenu();
  if (!CreateMenu()) return false;
  if (!LoadLevel(*this, t->items, 0)) {
    DestroyMenu();
    return false;
  }
  // The menu bar is drawn by the system: its items become plain strings.
  for (std::size_t p = 0; p < m_records.size(); ++p) {
    CItemRecord& rec = *m_records[p];
    const bool popup = (rec.flags & MF_POPUP) != 0;
    CMenu::ModifyMenu(static_cast<UINT>(p), MF_BYPOSITION | (popup ? MF_POPUP : 0u), rec.idOrPopup,
                      rec.text);
    rec.flags = MF_BYPOSITION | (popup ? MF_POPUP : 0u);
  }
  m_bLoaded = true;
  return true;
}

bool COwnerDrawMenu::LoadLevel(COwnerDrawMenu& menu,
                               const std::vector<fw::CMenuTemplateItem>& items, int depth) {
  if (depth > 16) return false;
  for (const fw::CMenuTemplateItem& item : items) {
    UINT flags = 0;
    if (item.checked) flags |= MF_CHECKED;
    if (item.grayed) flags |= MF_GRAYED;
    if (item.inactive) flags |= MF_DISABLED;
    if (item.menuBreak) flags |= MF_MENUBREAK;
    if (item.menuBarBreak) flags |= MF_MENUBARBREAK;
    if (item.popup) {
      // The pop-up shares the parent's check marks without owning them.
      auto child = std::make_unique<COwnerDrawMenu>();
      child->m_checkList = menu.m_checkList;
      child->m_checkSelected = menu.m_checkSelected;
      child->m_checkUnselected = menu.m_checkUnselected;
      child->m_checkListBorrowed = true;
      if (!child->CreatePopupMenu()) return false;
      const HMENU handle = child->m_hMenu;
      menu.m_popupMenus.push_back(std::move(child));
      menu.AppendOwnerDrawnItem(item.text, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(handle));
      if (!LoadLevel(*menu.m_popupMenus.back(), item.children, depth + 1)) return false;
    } else if (item.separator) {
      menu.AppendOwnerDrawnItem({}, MF_SEPARATOR, 0);
    } else {
      menu.AppendOwnerDrawnItem(item.text, flags, item.id);
    }
  }
  menu.AlignAccelerators();
  return true;
}

void COwnerDrawMenu::AlignAccelerators() {
  // Labels padded with blanks to the widest label (plus one blank), so the
  // accelerators start in one column.
  int widest = 0;
  for (const auto& rec : m_records) {
    if (rec->flags & MF_SEPARATOR) continue;
    const std::string label = rec->text.substr(0, rec->text.find('\t'));
    widest = std::max(widest, TextWidth(label + " "));
  }
  for (std::size_t p = 0; p < m_records.size(); ++p) {
    CItemRecord& rec = *m_records[p];
    const std::size_t tab = rec.text.find('\t');
    if (tab == std::string::npos) continue;
    std::string label = rec.text.substr(0, tab);
    while (TextWidth(label) < widest) label += ' ';
    rec.text = label + rec.text.substr(tab);
    CMenu::ModifyMenu(static_cast<UINT>(p), MF_BYPOSITION | (rec.flags & ~MF_BYPOSITION),
                      rec.idOrPopup, rec.text, reinterpret_cast<std::uintptr_t>(&rec));
  }
}

// ---- building ---------------------------------------------------------------------------------

bool COwnerDrawMenu::AppendOwnerDrawnItem(const std::string& text, UINT flags, UINT_PTR idOrPopup,
                                          int toolbarId) {
  if (!fw::IsMenu(m_hMenu)) return false;
  const bool popup = (flags & MF_POPUP) != 0;
  UINT f = flags;
  if (popup || idOrPopup != 0)
    f |= MF_OWNERDRAW;
  else
    f = MF_OWNERDRAW | MF_SEPARATOR | (flags & MF_BYPOSITION);
  if (popup) {
    const auto handle = reinterpret_cast<HMENU>(idOrPopup);
    PopupList().push_back(handle);
    m_popups.push_back(handle);
  }
  auto rec = std::make_unique<CItemRecord>();
  rec->text = text;
  rec->flags = f;
  rec->idOrPopup = idOrPopup;
  if (!popup && idOrPopup != 0) {
    const auto command = static_cast<UINT>(idOrPopup);
    if (toolbarId == -1) {
      const auto& ids = SharedCommands();
      auto it = std::find(ids.begin(), ids.end(), command);
      rec->sharedIndex = it == ids.end() ? -1 : static_cast<int>(it - ids.begin());
    } else if (const fw::CToolBarTemplate* bar =
                   fw::FindToolBarResource(static_cast<unsigned>(toolbarId))) {
      int image = 0, found = -1;
      for (unsigned id : bar->items) {
        if (id == 0) continue;
        if (id == command) {
          found = image;
          break;
        }
        ++image;
      }
      CImageList list;
      if (found >= 0 && LoadToolBarBitmap(static_cast<unsigned>(toolbarId), &list))
        rec->sharedIndex = AddSharedImage(&list, found > 0 ? found : 0, command);
    }
  }
  const bool ok =
      CMenu::AppendMenu(f, idOrPopup, text, reinterpret_cast<std::uintptr_t>(rec.get()));
  m_records.push_back(std::move(rec));
  if (m_bLoaded) RelabelTopLevel();
  return ok;
}

void COwnerDrawMenu::RelabelTopLevel() {
  // Items in front of the recorded ones are skipped by matching texts.
  int offset = 0;
  bool matched = false;
  const int count = GetMenuItemCount();
  for (std::size_t r = 0; r < m_records.size() && !matched; ++r) {
    for (int p = 0; p < count; ++p) {
      std::string text;
      GetMenuString(static_cast<UINT>(p), text, MF_BYPOSITION);
      if (text == m_records[r]->text) {
        offset = p - static_cast<int>(r);
        matched = true;
        break;
      }
    }
  }
  for (std::size_t r = 0; r < m_records.size(); ++r) {
    CItemRecord& rec = *m_records[r];
    const int position = static_cast<int>(r) + offset;
    if (!(rec.flags & MF_POPUP) || position < 0 || position >= count) continue;
    CMenu::ModifyMenu(static_cast<UINT>(position), MF_BYPOSITION | MF_POPUP, rec.idOrPopup,
                      rec.text);
    rec.flags = MF_BYPOSITION | MF_POPUP;
  }
}

COwnerDrawMenu::CItemRecord* COwnerDrawMenu::FindRecord(UINT id) {
  for (auto& rec : m_records)
    if (!(rec->flags & (MF_POPUP | MF_SEPARATOR)) && rec->idOrPopup == id) return rec.get();
  return nullptr;
}

void COwnerDrawMenu::ModifyInTree(const std::optional<std::string>& text, UINT id, CImageList* list,
                                  int index, bool* found, int depth) {
  if (depth > 16) return;
  for (auto& rec : m_records) {
    if ((rec->flags & (MF_POPUP | MF_SEPARATOR)) || rec->idOrPopup != id) continue;
    *found = true;
    if (text) rec->text = *text;
    if (list) rec->sharedIndex = AddSharedImage(list, index, id);
    rec->flags = (rec->flags | MF_OWNERDRAW) & ~MF_BYPOSITION;
    CMenu::ModifyMenu(id, rec->flags, id, rec->text, reinterpret_cast<std::uintptr_t>(rec.get()));
  }
  for (auto& child : m_popupMenus) child->ModifyInTree(text, id, list, index, found, depth + 1);
}

bool COwnerDrawMenu::ModifyOwnerDrawnItem(const std::optional<std::string>& text, UINT id,
                                          CImageList* list, int index) {
  bool found = false;
  ModifyInTree(text, id, list, index, &found, 0);
  if (found) return true;
  auto rec = std::make_unique<CItemRecord>();
  rec->idOrPopup = id;
  if (text) rec->text = *text;
  if (list) rec->sharedIndex = AddSharedImage(list, index, id);
  rec->flags = MF_OWNERDRAW;
  const bool ok =
      CMenu::ModifyMenu(id, rec->flags, id, rec->text, reinterpret_cast<std::uintptr_t>(rec.get()));
  m_records.push_back(std::move(rec));
  return ok;
}

bool COwnerDrawMenu::LoadToolBarImages(unsigned toolbarId) {
  const fw::CToolBarTemplate* bar = fw::FindToolBarResource(toolbarId);
  if (!bar) return false;
  CImageList list;
  if (!LoadToolBarBitmap(toolbarId, &list)) return false;
  int image = 0;
  for (std::size_t position = 0; position < bar->items.size(); ++position) {
    const unsigned id = bar->items[position];
    if (id == 0) continue;
    const int buttonImage = image++;
    if (GetMenuState(id, MF_BYCOMMAND) == kMenuItemMissing) continue;
    const int index = buttonImage > 0 ? buttonImage : static_cast<int>(position);
    ModifyOwnerDrawnItem(std::nullopt, id, &list, index);
  }
  return true;
}

bool COwnerDrawMenu::InsertMenu(UINT position, UINT flags, UINT_PTR idOrPopup,
                                const std::string& text, std::uintptr_t itemData) {
  if (!(flags & MF_BYPOSITION)) {
    int p = 0;
    COwnerDrawMenu* owner = OwnerOf(position, &p);
    if (!owner) return false;
    return owner->InsertMenu(static_cast<UINT>(p), flags | MF_BYPOSITION, idOrPopup, text,
                             itemData);
  }
  if (m_bLoaded || (flags & (MF_OWNERDRAW | MF_POPUP | MF_SEPARATOR)) || idOrPopup == 0)
    return CMenu::InsertMenu(position, flags, idOrPopup, text, itemData);
  const int count = GetMenuItemCount();
  if (count < 0) return false;
  const std::size_t at = std::min<std::size_t>(position, static_cast<std::size_t>(count));
  auto rec = std::make_unique<CItemRecord>();
  rec->text = text;
  rec->flags = (flags | MF_OWNERDRAW) & ~MF_BYPOSITION;
  rec->idOrPopup = idOrPopup;
  const auto& ids = SharedCommands();
  auto image = std::find(ids.begin(), ids.end(), static_cast<UINT>(idOrPopup));
  rec->sharedIndex = image == ids.end() ? -1 : static_cast<int>(image - ids.begin());
  if (!CMenu::InsertMenu(static_cast<UINT>(at), rec->flags | MF_BYPOSITION, idOrPopup, text,
                         reinterpret_cast<std::uintptr_t>(rec.get())))
    return false;
  // Records stand where their items do, as long as they line up.
  if (m_records.size() == static_cast<std::size_t>(count))
    m_records.insert(m_records.begin() + static_cast<std::ptrdiff_t>(at), std::move(rec));
  else
    m_records.push_back(std::move(rec));
  return true;
}

// ---- removing ---------------------------------------------------------------------------------

bool COwnerDrawMenu::DeleteMenu(UINT position, UINT flags) {
  if (!(flags & MF_BYPOSITION)) {
    int p = 0;
    COwnerDrawMenu* owner = OwnerOf(position, &p);
    return owner && owner->DeleteMenu(static_cast<UINT>(p), MF_BYPOSITION);
  }
  // A pop-up of our own goes with its item; one given to us from outside
  // is destroyed here.
  CMenu* sub = CMenu::GetSubMenu(static_cast<int>(position));
  const HMENU popup = sub ? sub->m_hMenu : nullptr;
  if (!RemoveMenu(position, MF_BYPOSITION)) return false;
  if (CMenu* left = CMenu::FromHandle(popup)) left->DestroyMenu();
  return true;
}

COwnerDrawMenu* COwnerDrawMenu::OwnerOf(UINT id, int* position, int depth) {
  if (depth > 16) return nullptr;
  for (int p = 0; p < GetMenuItemCount(); ++p) {
    const UINT state = GetMenuState(static_cast<UINT>(p), MF_BYPOSITION);
    if (!(state & (MF_POPUP | MF_SEPARATOR)) && GetMenuItemID(p) == id) {
      *position = p;
      return this;
    }
  }
  for (auto& child : m_popupMenus)
    if (COwnerDrawMenu* owner = child->OwnerOf(id, position, depth + 1)) return owner;
  return nullptr;
}

void COwnerDrawMenu::EmptyPopup(COwnerDrawMenu* popup, int) {
  for (int p = popup->GetMenuItemCount() - 1; p >= 0; --p)
    popup->RemoveMenu(static_cast<UINT>(p), MF_BYPOSITION);
}

bool COwnerDrawMenu::RemoveMenu(UINT position, UINT flags) {
  if (!(flags & MF_BYPOSITION)) {
    int p = 0;
    COwnerDrawMenu* owner = OwnerOf(position, &p);
    return owner && owner->RemoveMenu(static_cast<UINT>(p), MF_BYPOSITION);
  }
  const UINT state = GetMenuState(position, MF_BYPOSITION);
  if (state == kMenuItemMissing) return false;
  auto eraseRecord = [this](auto match) {
    auto it = std::find_if(m_records.begin(), m_records.end(), match);
    if (it != m_records.end()) m_records.erase(it);
  };
  if (state & MF_POPUP) {
    CMenu* sub = CMenu::GetSubMenu(static_cast<int>(position));
    const HMENU handle = sub ? sub->m_hMenu : nullptr;
    auto* child = dynamic_cast<COwnerDrawMenu*>(sub);
    if (child) EmptyPopup(child);
    ForgetPopup(handle);
    eraseRecord([handle](const auto& rec) {
      return (rec->flags & MF_POPUP) && rec->idOrPopup == reinterpret_cast<UINT_PTR>(handle);
    });
    m_popupMenus.erase(std::remove_if(m_popupMenus.begin(), m_popupMenus.end(),
                                      [child](const auto& m) { return m.get() == child; }),
                       m_popupMenus.end());
  } else if ((state & MF_SEPARATOR) && (state & MF_OWNERDRAW)) {
    if (position < m_records.size() && (m_records[position]->flags & MF_SEPARATOR))
      m_records.erase(m_records.begin() + static_cast<std::ptrdiff_t>(position));
  } else if (!(state & MF_SEPARATOR)) {
    const UINT id = GetMenuItemID(static_cast<int>(position));
    eraseRecord([id](const auto& rec) {
      return !(rec->flags & (MF_POPUP | MF_SEPARATOR)) && rec->idOrPopup == id;
    });
  }
  return CMenu::RemoveMenu(position, MF_BYPOSITION);
}

// ---- measuring and drawing ------------------------------------------------------------------

void COwnerDrawMenu::MeasureItem(MEASUREITEMSTRUCT* mis) {
  const auto* rec = reinterpret_cast<const CItemRecord*>(mis->itemData);
  if (!rec) return;
  if (rec->flags & MF_SEPARATOR) {
    mis->itemWidth = 0;
    mis->itemHeight = kFlatStyle ? 3
                                 : static_cast<UINT>(std::max((kImageHeight + kSpacing) / 2,
                                                              GetSystemMetrics(SM_CYMENU) / 2));
    return;
  }
  const int text = TextWidth(rec->text);
  const int extra = kFlatStyle ? kImageWidth + kSpacing + 8 : 2 * kImageWidth + 1;
  // The room the system adds to an owner-drawn item for its check mark.
  const int checkRoom = GetSystemMetrics(SM_CXMENUCHECK) - 1;
  mis->itemWidth = static_cast<UINT>(text + extra + checkRoom);
  mis->itemHeight =
      static_cast<UINT>(std::max(kImageHeight + kSpacing, GetSystemMetrics(SM_CYMENU)));
}

bool COwnerDrawMenu::UseClassicStyle(CDC*) const {
  return false;  // no palette displays here
}

void COwnerDrawMenu::DrawItem(DRAWITEMSTRUCT* dis) {
  if (!dis || !dis->hDC) return;
  const auto* rec = reinterpret_cast<const CItemRecord*>(dis->itemData);
  if (!rec) return;
  const int saved = dis->hDC->SaveDC();
  if (UseClassicStyle(dis->hDC))
    DrawClassic(dis, rec);
  else
    DrawFlat(dis, rec);
  (void)dis->hDC->RestoreDC(saved);
}

void COwnerDrawMenu::DrawCheck(CDC& dc, const CRect& cell, bool radio) const {
  const int ox = cell.Width() >= 6 ? cell.Width() / 2 - 3 : 0;
  const int oy = cell.Height() >= 6 ? cell.Height() / 2 - 3 : 0;
  const CPoint at(cell.left + ox, cell.top + oy);
  const COLORREF ink = GetSysColor(COLOR_MENUTEXT);
  if (radio) {
    CBrush brush(ink);
    CPen pen(PS_SOLID, 1, ink);
    CBrush* oldBrush = dc.SelectObject(&brush);
    CPen* oldPen = dc.SelectObject(&pen);
    dc.Ellipse(at.x, at.y, at.x + 6, at.y + 6);
    dc.SelectObject(oldBrush);
    dc.SelectObject(oldPen);
    return;
  }
  // Seven one-pixel columns: down two, then up four.
  static const int kDrop[7] = {2, 3, 4, 3, 2, 1, 0};
  for (int i = 0; i < 7; ++i)
    dc.FillSolidRect(CRect(at.x + i, at.y + kDrop[i], at.x + i + 1, at.y + kDrop[i] + 2), ink);
}

void COwnerDrawMenu::DrawText(CDC& dc, const CItemRecord* rec, const CRect& rect, int left) const {
  dc.SelectObject(&MenuFont());
  dc.SetBkMode(TRANSPARENT);
  const std::size_t tab = rec->text.rfind('\t');
  const std::string label = rec->text.substr(0, tab);
  CRect labelRect(left, rect.top, rect.right, rect.bottom);
  dc.DrawText(label, &labelRect, DT_LEFT | DT_SINGLELINE | DT_VCENTER);
  if (tab != std::string::npos) {
    CRect accel(left, rect.top, rect.right - 16, rect.bottom);
    dc.DrawText(rec->text.substr(tab + 1), &accel, DT_RIGHT | DT_SINGLELINE | DT_VCENTER);
  }
}

void COwnerDrawMenu::DrawFlat(DRAWITEMSTRUCT* dis, const CItemRecord* rec) {
  CDC& dc = *dis->hDC;
  const CRect rc = dis->rcItem;
  const bool theme = IsThemeActive();
  const bool disabled = (dis->itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
  // A disabled item is never drawn selected.
  const bool selected = (dis->itemState & ODS_SELECTED) && !disabled;
  const bool checked = (dis->itemState & ODS_CHECKED) != 0;
  const int column = kImageWidth + kSpacing;
  const COLORREF background = Darken(GetSysColor(COLOR_WINDOW), 0.02);
  const COLORREF columnColour =
      theme ? GetSysColor(COLOR_BTNFACE) : Lighten(GetSysColor(COLOR_BTNFACE), 0.25);
  const COLORREF selection = Lighten(GetSysColor(COLOR_HIGHLIGHT), theme ? 0.7 : 0.85);
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  const CRect columnRect(rc.left, rc.top, rc.left + column, rc.bottom);

  if (rec->flags & MF_SEPARATOR) {
    dc.FillSolidRect(rc, background);
    dc.FillSolidRect(columnRect, columnColour);
    const int middle = rc.top + rc.Height() / 2;
    CRect line(columnRect.left + kSpacing, middle, rc.right, middle + 2);
    dc.DrawEdge(&line, EDGE_ETCHED, BF_TOP);
    return;
  }
  if (!selected) {
    dc.FillSolidRect(rc, background);
    Frame(dc, rc, background);
    dc.FillSolidRect(columnRect, columnColour);
    Frame(dc, columnRect, columnColour);
  } else {
    dc.FillSolidRect(rc, selection);
    Frame(dc, rc, highlight);
  }

  CImageList& shared = SharedImages();
  const UINT command = static_cast<UINT>(rec->idOrPopup);
  const int image = rec->sharedIndex;
  const bool hasImage = image >= 0 && image < shared.GetImageCount();
  const bool derived = hasImage && HasDerived(image, command);
  const CPoint at(rc.left + (column - kImageWidth + 1) / 2,
                  rc.top + (rc.Height() - kImageHeight + 1) / 2);
  const CRect cell(columnRect.left + 1, rc.top + 1, columnRect.right - 1, rc.bottom - 1);
  auto draw = [&](int index, int dx, int dy) {
    shared.Draw(&dc, index, CPoint(at.x + dx, at.y + dy), ILD_TRANSPARENT);
  };
  const COLORREF greyText =
      theme ? GetSysColor(COLOR_GRAYTEXT) : Lighten(GetSysColor(COLOR_GRAYTEXT), 0.4);
  if (hasImage) {
    if (disabled) {
      // A checked item keeps its pressed cell, in the greys of a disabled one.
      const int shift = checked ? -1 : 0;
      if (checked) {
        dc.FillSolidRect(cell, Lighten(GetSysColor(COLOR_GRAYTEXT), 0.85));
        Frame(dc, cell, greyText);
      }
      if (derived) {
        draw(image + 3, shift, shift);
      } else {
        CIconImage icon{shared.GetImage(image), CPoint()};
        dc.DrawIconDisabled(at.x + shift, at.y + shift, &icon);
      }
    } else if (selected) {
      if (checked) {
        dc.FillSolidRect(cell, Lighten(highlight, 0.55));
        Frame(dc, cell, highlight);
        draw(image, -1, -1);
      } else if (derived) {
        draw(image + 2, 1, 1);
        draw(image, -1, -1);
      } else {
        draw(image, 0, 0);
      }
    } else if (checked) {
      dc.FillSolidRect(cell, Lighten(highlight, 0.85));
      Frame(dc, cell, highlight);
      draw(image, -1, -1);
    } else {
      draw(derived ? image + 1 : image, 0, 0);
    }
  } else if (checked) {
    const int index = selected ? m_checkSelected : m_checkUnselected;
    if (m_checkList && index >= 0 && index < m_checkList->GetImageCount()) {
      m_checkList->Draw(&dc, index, at, ILD_TRANSPARENT);
    } else {
      dc.FillSolidRect(cell, Lighten(highlight, selected ? 0.55 : 0.85));
      Frame(dc, cell, highlight);
      DrawCheck(dc, cell, (rec->flags & MFT_RADIOCHECK) != 0);
    }
  }
  dc.SetTextColor(disabled ? greyText : GetSysColor(COLOR_MENUTEXT));
  DrawText(dc, rec, rc, columnRect.right + 8);
}

void COwnerDrawMenu::DrawClassic(DRAWITEMSTRUCT* dis, const CItemRecord* rec) {
  CDC& dc = *dis->hDC;
  const CRect rc = dis->rcItem;
  const bool disabled = (dis->itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
  const bool selected = (dis->itemState & ODS_SELECTED) && !disabled;
  const bool checked = (dis->itemState & ODS_CHECKED) != 0;
  const COLORREF background = GetSysColor(IsThemeActive() ? COLOR_BTNFACE : COLOR_MENU);
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);

  if (rec->flags & MF_SEPARATOR) {
    dc.FillSolidRect(rc, background);
    const int middle = rc.top + rc.Height() / 2;
    CRect line(rc.left, middle, rc.right, middle + 2);
    dc.DrawEdge(&line, EDGE_ETCHED, BF_TOP);
    return;
  }
  CImageList& shared = SharedImages();
  const int image = rec->sharedIndex;
  const bool hasImage = image >= 0 && image < shared.GetImageCount();
  dc.FillSolidRect(rc, background);
  Frame(dc, rc, background);
  if (selected) {
    CRect fill = rc;
    if (hasImage || checked) fill.left += kImageWidth + 5;
    dc.FillSolidRect(fill, GetSysColor(COLOR_HIGHLIGHT));
  }
  const int cellTop = rc.top + std::max(0, (rc.Height() - kImageHeight - 4) / 2);
  const CRect cell(rc.left, cellTop, rc.left + kImageWidth + 4, cellTop + kImageHeight + 4);
  if (hasImage) {
    const CPoint at(cell.left + 2, cell.top + 2);
    if (disabled) {
      // A checked item keeps its sunken cell; the image is embossed in it.
      if (checked) {
        dc.FillSolidRect(cell, Lighten(background, 0.6));
        dc.Draw3dRect(cell, shadow, light);
      }
      CIconImage icon{shared.GetImage(image), CPoint()};
      dc.DrawIconDisabled(at.x, at.y, &icon);
    } else {
      if (!selected && checked) dc.FillSolidRect(cell, Lighten(background, 0.6));
      shared.Draw(&dc, image, at, ILD_TRANSPARENT);
      if (selected)
        dc.Draw3dRect(cell, checked ? shadow : light, checked ? light : shadow);
      else if (checked)
        dc.Draw3dRect(cell, shadow, light);
    }
  } else if (checked) {
    dc.FillSolidRect(cell, selected ? background : Lighten(background, 0.6));
    dc.Draw3dRect(cell, shadow, light);
    const bool radio = (rec->flags & MFT_RADIOCHECK) != 0;
    const CRect mark(cell.left + (radio ? 5 : 4), cell.top + 4, cell.right, cell.bottom);
    DrawCheck(dc, CRect(mark.left, mark.top, mark.left + 6, mark.top + 6), radio);
  }
  const int left = rc.left + kImageWidth + 9;
  if (!disabled) {
    dc.SetTextColor(GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    DrawText(dc, rec, rc, left);
  } else if (!(dis->itemState & ODS_SELECTED)) {
    dc.SetTextColor(light);
    DrawText(dc, rec, CRect(rc.left + 1, rc.top + 1, rc.right + 1, rc.bottom + 1), left + 1);
    dc.SetTextColor(GetSysColor(COLOR_GRAYTEXT));
    DrawText(dc, rec, rc, left);
  } else {
    dc.SetTextColor(background);
    DrawText(dc, rec, rc, left);
  }
}
