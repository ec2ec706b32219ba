// Control bars and the toolbar. A CControlBar is a window that a frame
// docks: its peer sits in a QToolBar (the dock host) that QMainWindow moves
// between its edges or floats. CToolBar is the toolbar control itself: a
// row (or column) of buttons it lays out, paints and hit-tests on its own,
// driven by the toolbar messages (TB_*), reporting to its owner with
// WM_COMMAND and WM_NOTIFY (custom draw, drag and customisation codes).
// Its notifications reach the bar's own OnReflectNotify first, as reflected
// notifications do.
#pragma once

#include <QFont>
#include <QPointer>
#include <QToolBar>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/gui/cmdtarget.h"
#include "platform/gui/imagelist.h"
#include "platform/gui/wnd.h"

class CImageList;

// ---- control bar styles (kept by the bar, not the window) ----------------------
inline constexpr std::uint32_t CBRS_ALIGN_LEFT = 0x1000;
inline constexpr std::uint32_t CBRS_ALIGN_TOP = 0x2000;
inline constexpr std::uint32_t CBRS_ALIGN_RIGHT = 0x4000;
inline constexpr std::uint32_t CBRS_ALIGN_BOTTOM = 0x8000;
inline constexpr std::uint32_t CBRS_ALIGN_ANY = 0xF000;
inline constexpr std::uint32_t CBRS_BORDER_LEFT = 0x0100;
inline constexpr std::uint32_t CBRS_BORDER_TOP = 0x0200;
inline constexpr std::uint32_t CBRS_BORDER_RIGHT = 0x0400;
inline constexpr std::uint32_t CBRS_BORDER_BOTTOM = 0x0800;
inline constexpr std::uint32_t CBRS_BORDER_ANY = 0x0F00;
inline constexpr std::uint32_t CBRS_TOOLTIPS = 0x0010;
inline constexpr std::uint32_t CBRS_FLYBY = 0x0020;
inline constexpr std::uint32_t CBRS_FLOAT_MULTI = 0x0040;
inline constexpr std::uint32_t CBRS_BORDER_3D = 0x0080;
inline constexpr std::uint32_t CBRS_HIDE_INPLACE = 0x0008;
inline constexpr std::uint32_t CBRS_SIZE_DYNAMIC = 0x0004;
inline constexpr std::uint32_t CBRS_SIZE_FIXED = 0x0002;
inline constexpr std::uint32_t CBRS_FLOATING = 0x0001;
inline constexpr std::uint32_t CBRS_GRIPPER = 0x00400000;
inline constexpr std::uint32_t CBRS_ORIENT_HORZ = CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM;
inline constexpr std::uint32_t CBRS_ORIENT_VERT = CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT;
inline constexpr std::uint32_t CBRS_TOP = CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM;
inline constexpr std::uint32_t CBRS_BOTTOM = CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP;
inline constexpr std::uint32_t CBRS_LEFT = CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT;
inline constexpr std::uint32_t CBRS_RIGHT = CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT;
inline constexpr std::uint32_t CBRS_ALL = 0x0040FFFF;

// Layout modes of CalcDynamicLayout.
inline constexpr std::uint32_t LM_STRETCH = 0x01;
inline constexpr std::uint32_t LM_HORZ = 0x02;
inline constexpr std::uint32_t LM_MRUWIDTH = 0x04;
inline constexpr std::uint32_t LM_HORZDOCK = 0x08;
inline constexpr std::uint32_t LM_VERTDOCK = 0x10;
inline constexpr std::uint32_t LM_LENGTHY = 0x20;
inline constexpr std::uint32_t LM_COMMIT = 0x40;

// ---- toolbar control styles (low word of the window style) --------------------
inline constexpr std::uint32_t TBSTYLE_TOOLTIPS = 0x0100;
inline constexpr std::uint32_t TBSTYLE_WRAPABLE = 0x0200;
inline constexpr std::uint32_t TBSTYLE_ALTDRAG = 0x0400;
inline constexpr std::uint32_t TBSTYLE_FLAT = 0x0800;
inline constexpr std::uint32_t TBSTYLE_LIST = 0x1000;
inline constexpr std::uint32_t TBSTYLE_TRANSPARENT = 0x8000;
inline constexpr std::uint32_t CCS_ADJUSTABLE = 0x0020;
inline constexpr std::uint32_t CCS_NODIVIDER = 0x0040;
inline constexpr std::uint32_t TBSTYLE_EX_DRAWDDARROWS = 0x0001;

// Button styles and states.
inline constexpr std::uint8_t TBSTYLE_BUTTON = 0x00;
inline constexpr std::uint8_t TBSTYLE_SEP = 0x01;
inline constexpr std::uint8_t TBSTYLE_CHECK = 0x02;
inline constexpr std::uint8_t TBSTYLE_GROUP = 0x04;
inline constexpr std::uint8_t TBSTYLE_CHECKGROUP = TBSTYLE_GROUP | TBSTYLE_CHECK;
inline constexpr std::uint8_t TBSTYLE_DROPDOWN = 0x08;
inline constexpr std::uint8_t TBSTYLE_AUTOSIZE = 0x10;
inline constexpr std::uint8_t TBSTYLE_NOPREFIX = 0x20;
inline constexpr std::uint8_t TBSTATE_CHECKED = 0x01;
inline constexpr std::uint8_t TBSTATE_PRESSED = 0x02;
inline constexpr std::uint8_t TBSTATE_ENABLED = 0x04;
inline constexpr std::uint8_t TBSTATE_HIDDEN = 0x08;
inline constexpr std::uint8_t TBSTATE_INDETERMINATE = 0x10;
inline constexpr std::uint8_t TBSTATE_WRAP = 0x20;

// ---- messages ------------------------------------------------------------------
inline constexpr UINT TB_ENABLEBUTTON = WM_USER + 1;
inline constexpr UINT TB_CHECKBUTTON = WM_USER + 2;
inline constexpr UINT TB_PRESSBUTTON = WM_USER + 3;
inline constexpr UINT TB_HIDEBUTTON = WM_USER + 4;
inline constexpr UINT TB_ISBUTTONENABLED = WM_USER + 9;
inline constexpr UINT TB_ISBUTTONCHECKED = WM_USER + 10;
inline constexpr UINT TB_ISBUTTONPRESSED = WM_USER + 11;
inline constexpr UINT TB_ISBUTTONHIDDEN = WM_USER + 12;
inline constexpr UINT TB_SETSTATE = WM_USER + 17;
inline constexpr UINT TB_GETSTATE = WM_USER + 18;
inline constexpr UINT TB_INSERTBUTTON = WM_USER + 21;  // wParam index, lParam const TBBUTTON*
inline constexpr UINT TB_DELETEBUTTON = WM_USER + 22;  // wParam index
inline constexpr UINT TB_GETBUTTON = WM_USER + 23;     // wParam index, lParam TBBUTTON*
inline constexpr UINT TB_BUTTONCOUNT = WM_USER + 24;
inline constexpr UINT TB_COMMANDTOINDEX = WM_USER + 25;
inline constexpr UINT TB_SAVERESTORE = WM_USER + 26;  // wParam save, lParam TBSAVEPARAMS*
inline constexpr UINT TB_CUSTOMIZE = WM_USER + 27;
inline constexpr UINT TB_GETITEMRECT = WM_USER + 29;  // wParam index, lParam CRect*
inline constexpr UINT TB_SETBUTTONSIZE = WM_USER + 31;
inline constexpr UINT TB_SETBITMAPSIZE = WM_USER + 32;
inline constexpr UINT TB_AUTOSIZE = WM_USER + 33;
inline constexpr UINT TB_GETBUTTONTEXT = WM_USER + 45;  // wParam command, lParam std::string*
inline constexpr UINT TB_SETINDENT = WM_USER + 47;
inline constexpr UINT TB_SETIMAGELIST = WM_USER + 48;  // lParam CImageList*
inline constexpr UINT TB_GETIMAGELIST = WM_USER + 49;
inline constexpr UINT TB_SETHOTIMAGELIST = WM_USER + 52;
inline constexpr UINT TB_GETHOTIMAGELIST = WM_USER + 53;
inline constexpr UINT TB_SETDISABLEDIMAGELIST = WM_USER + 54;
inline constexpr UINT TB_GETDISABLEDIMAGELIST = WM_USER + 55;
inline constexpr UINT TB_SETSTYLE = WM_USER + 56;
inline constexpr UINT TB_GETSTYLE = WM_USER + 57;
inline constexpr UINT TB_GETBUTTONSIZE = WM_USER + 58;
inline constexpr UINT TB_SETBUTTONWIDTH = WM_USER + 59;  // lParam MAKELPARAM(min, max)
inline constexpr UINT TB_SETMAXTEXTROWS = WM_USER + 60;
inline constexpr UINT TB_GETTEXTROWS = WM_USER + 61;
inline constexpr UINT TB_GETBUTTONINFO = WM_USER + 65;  // wParam command, lParam TBBUTTONINFO*
inline constexpr UINT TB_SETBUTTONINFO = WM_USER + 66;
inline constexpr UINT TB_HITTEST = WM_USER + 69;  // lParam CPoint*
inline constexpr UINT TB_GETHOTITEM = WM_USER + 71;
inline constexpr UINT TB_SETHOTITEM = WM_USER + 72;
inline constexpr UINT TB_GETINSERTMARK = WM_USER + 79;
inline constexpr UINT TB_SETINSERTMARK = WM_USER + 80;  // lParam const TBINSERTMARK*
inline constexpr UINT TB_MOVEBUTTON = WM_USER + 82;     // wParam from, lParam to
inline constexpr UINT TB_SETEXTENDEDSTYLE = WM_USER + 84;
inline constexpr UINT TB_GETEXTENDEDSTYLE = WM_USER + 85;

// The frame asks its bars to update their buttons (wParam: disable buttons
// nobody handles).
inline constexpr UINT WM_IDLEUPDATECMDUI = 0x0363;
inline constexpr UINT WM_WINDOWPOSCHANGED = 0x0047;

// ---- notifications -------------------------------------------------------------
inline constexpr UINT NM_CUSTOMDRAW = static_cast<UINT>(-12);
inline constexpr UINT TBN_GETBUTTONINFO = static_cast<UINT>(-700);
inline constexpr UINT TBN_BEGINDRAG = static_cast<UINT>(-701);
inline constexpr UINT TBN_ENDDRAG = static_cast<UINT>(-702);
inline constexpr UINT TBN_QUERYINSERT = static_cast<UINT>(-706);
inline constexpr UINT TBN_QUERYDELETE = static_cast<UINT>(-707);
inline constexpr UINT TBN_TOOLBARCHANGE = static_cast<UINT>(-708);
inline constexpr UINT TBN_DROPDOWN = static_cast<UINT>(-710);

inline constexpr std::uint32_t CDDS_PREPAINT = 0x1;
inline constexpr std::uint32_t CDDS_POSTPAINT = 0x2;
inline constexpr std::uint32_t CDDS_ITEM = 0x10000;
inline constexpr std::uint32_t CDDS_ITEMPREPAINT = CDDS_ITEM | CDDS_PREPAINT;
inline constexpr std::uint32_t CDDS_ITEMPOSTPAINT = CDDS_ITEM | CDDS_POSTPAINT;
inline constexpr LRESULT CDRF_DODEFAULT = 0x0;
inline constexpr LRESULT CDRF_SKIPDEFAULT = 0x4;
inline constexpr LRESULT CDRF_NOTIFYPOSTPAINT = 0x10;
inline constexpr LRESULT CDRF_NOTIFYITEMDRAW = 0x20;
inline constexpr UINT CDIS_SELECTED = 0x1;
inline constexpr UINT CDIS_DISABLED = 0x4;
inline constexpr UINT CDIS_CHECKED = 0x8;
inline constexpr UINT CDIS_HOT = 0x40;
inline constexpr UINT CDIS_INDETERMINATE = 0x100;

inline constexpr UINT TBIF_IMAGE = 0x1;
inline constexpr UINT TBIF_TEXT = 0x2;
inline constexpr UINT TBIF_STATE = 0x4;
inline constexpr UINT TBIF_STYLE = 0x8;
inline constexpr UINT TBIF_LPARAM = 0x10;
inline constexpr UINT TBIF_COMMAND = 0x20;
inline constexpr UINT TBIF_SIZE = 0x40;
inline constexpr UINT TBIF_BYINDEX = 0x80000000;
inline constexpr std::uint32_t TBIMHT_AFTER = 0x1;

inline constexpr int AFX_IDW_TOOLBAR = 0xE800;

struct TBBUTTON {
  int iBitmap = 0;  // a separator's width (0: the default)
  int idCommand = 0;
  std::uint8_t fsState = 0;
  std::uint8_t fsStyle = 0;
  std::uintptr_t dwData = 0;
  std::intptr_t iString = -1;
};

struct TBBUTTONINFO {
  UINT dwMask = 0;
  int idCommand = 0;
  int iImage = 0;
  std::uint8_t fsState = 0;
  std::uint8_t fsStyle = 0;
  int cx = 0;
  std::uintptr_t lParam = 0;
  std::string text;
};

// What the control takes from TB_SETINDENT, TB_SETBUTTONWIDTH (each width)
// and TB_SETMAXTEXTROWS; larger values are cut to these, smaller to 0.
inline constexpr int kToolBarMaxIndent = 4096;
inline constexpr int kToolBarMaxButtonWidth = 4096;
inline constexpr int kToolBarMaxTextRows = 16;

struct TBINSERTMARK {
  int iButton = -1;
  std::uint32_t dwFlags = 0;
};

// Where TB_SAVERESTORE keeps the button order: the application's profile.
struct TBSAVEPARAMS {
  std::string subKey;
  std::string valueName;
};

struct NMTOOLBAR {
  NMHDR hdr;
  int iItem = -1;
  TBBUTTON tbButton;
  std::string text;  // TBN_GETBUTTONINFO fills it
  int cchText = 0;   // room the asker has for the text
  CRect rcButton;
};

struct NMCUSTOMDRAW {
  NMHDR hdr;
  std::uint32_t dwDrawStage = 0;
  CDC* hdc = nullptr;
  CRect rc;
  std::uintptr_t dwItemSpec = 0;  // the button's command id
  UINT uItemState = 0;
  LPARAM lItemlParam = 0;
};

struct NMTBCUSTOMDRAW {
  NMCUSTOMDRAW nmcd;
  COLORREF clrText = 0;
  COLORREF clrBtnFace = 0;
  CRect rcText;
  int nStringBkMode = TRANSPARENT;
};

namespace fw {
// The toolbar control's saved button order (TB_SAVERESTORE) as bytes, and
// back. The reader checks the whole blob before it gives anything back.
std::vector<std::uint8_t> SaveToolBarButtons(const std::vector<TBBUTTON>& buttons);
bool ParseToolBarButtons(const std::vector<std::uint8_t>& blob, std::vector<TBBUTTON>* buttons);
// Width of the drop-down arrow part of a button, as the toolbar draws it.
int ToolBarDropDownArrowWidth();
}  // namespace fw

// The state of one toolbar button as update-UI handlers set it.
class CToolBar;
class CToolCmdUI : public CCmdUI {
 public:
  CToolBar* m_bar = nullptr;
  void Enable(bool on = true) override;
  void SetCheck(int check = 1) override;
};

class CControlBar : public CWnd {
 public:
  CControlBar();
  ~CControlBar() override;

  std::uint32_t GetBarStyle() const { return m_dwStyle; }
  virtual void SetBarStyle(std::uint32_t style);
  // Sides the bar may dock at (CBRS_ALIGN_*); 0 keeps it where it is.
  void EnableDocking(std::uint32_t style);
  std::uint32_t dockingStyle() const { return m_dockStyle; }
  bool IsFloating() const;
  bool IsHorizontal() const;
  CWnd* GetOwner() const;
  void SetOwner(CWnd* owner);
  // The widget that docks (a QToolBar holding the bar's window).
  QToolBar* DockHost() const { return m_host.data(); }
  bool DestroyWindow() override;

  virtual CSize CalcFixedLayout(bool stretch, bool horizontal);
  virtual CSize CalcDynamicLayout(int length, std::uint32_t mode);
  virtual void OnUpdateCmdUI(CCmdTarget* target, bool disableIfNoHandler) = 0;
  // The size the bar wants where it stands now.
  CSize DockedSize();
  // The host moved, floated or changed side: the bar takes its new side
  // and hears WM_WINDOWPOSCHANGED.
  void HostChanged();

 protected:
  QWidget* CreatePeer(QWidget* parent, const CREATESTRUCT& cs) override;
  LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override;

  std::uint32_t m_dwStyle = 0;
  std::uint32_t m_dockStyle = 0;
  CWnd* m_owner = nullptr;
  QPointer<QToolBar> m_host;

 private:
  friend class CControlBarAccess;
};

class CToolBar : public CControlBar {
 public:
  CToolBar();
  ~CToolBar() override;

  // ctrlStyle: TBSTYLE_* / CCS_*; style: WS_* with CBRS_* bar styles.
  virtual bool CreateEx(CWnd* parent, std::uint32_t ctrlStyle = TBSTYLE_FLAT,
                        std::uint32_t style = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP,
                        CRect borders = CRect(), int id = AFX_IDW_TOOLBAR);
  // The TOOLBAR resource of that id: its buttons, and the images of the
  // BITMAP of the same id (mask RGB(192, 192, 192)). False when either is missing.
  bool LoadToolBar(unsigned id);
  // Buttons for these commands (0: separator), images in order.
  bool SetButtons(const UINT* ids, int count);
  void SetSizes(CSize button, CSize image);

  // Button access (each a TB_* message, so a derived bar sees them all).
  int GetCount() const;
  UINT GetItemID(int index) const;
  int CommandToIndex(UINT id) const;
  void GetItemRect(int index, CRect* rect) const;
  bool GetButton(int index, TBBUTTON* button) const;
  bool InsertButton(int index, const TBBUTTON* button);
  bool DeleteButton(int index);
  bool MoveButton(int from, int to);
  void SetButtonInfo(int index, UINT id, UINT style, int image);
  void GetButtonInfo(int index, UINT& id, UINT& style, int& image) const;
  bool SetButtonText(int index, const std::string& text);
  std::string GetButtonText(int index) const;
  int HitTest(CPoint point) const;
  UINT GetState(UINT id) const;
  bool SetState(UINT id, UINT state);
  // State of the button at an index (separators too), without notifications.
  std::uint8_t GetButtonState(int index) const;
  void SetButtonState(int index, std::uint8_t state);
  CSize GetButtonSize() const;
  CSize GetImageSize() const { return m_sizeImage; }
  void SetImageList(CImageList* list);
  void SetHotImageList(CImageList* list);
  CImageList* GetImageList() const { return m_images; }
  CImageList* GetHotImageList() const { return m_hotImages; }
  int GetTextRows() const;
  int GetHotItem() const { return m_hot; }

  void OnUpdateCmdUI(CCmdTarget* target, bool disableIfNoHandler) override;
  CSize CalcFixedLayout(bool stretch, bool horizontal) override;
  CSize CalcDynamicLayout(int length, std::uint32_t mode) override;

  // The text rectangle and font of the last paint, for tests.
  const QFont& ButtonFont() const;

 protected:
  LRESULT DefWindowProc(UINT msg, WPARAM w, LPARAM l) override;
  void OnPaint() override;
  bool OnEraseBkgnd(CDC* dc) override;

  // A notification to the owner, offered to OnReflectNotify first.
  LRESULT Notify(NMHDR* hdr);
  virtual bool OnReflectNotify(NMHDR* hdr, LRESULT* result);

  // Layout: wrap the buttons for a width, measure rows of wrapped buttons.
  virtual CSize CalcLayout(std::uint32_t mode, int length = -1);
  virtual CSize CalcSize(TBBUTTON* buttons, int count);
  virtual int WrapToolBar(TBBUTTON* buttons, int count, int width);
  // The width a button takes in a row.
  virtual int ItemWidth(const TBBUTTON& button, int index) const;
  std::vector<TBBUTTON> Buttons() const;
  void CommitWraps(const std::vector<TBBUTTON>& buttons);
  // Drops a press in progress (capture, pressed state) without a command.
  void CancelPress();
  // Puts the list of `l` in `slot` and repaints; the list it held.
  LRESULT SwapImageList(CImageList*& slot, LPARAM l);

  // Paints the whole control (what WM_PAINT does), public for image probes.
 public:
  void Paint(CDC& dc);

 protected:
  struct Button {
    TBBUTTON tb;
    std::string text;
  };
  std::vector<Button> m_buttons;
  CSize m_sizeButton{24, 22};
  CSize m_sizeImage{16, 15};
  CImageList* m_images = nullptr;
  CImageList* m_hotImages = nullptr;
  CImageList* m_disabledImages = nullptr;
  std::unique_ptr<CImageList> m_ownImages;  // the list LoadToolBar made
  std::uint32_t m_exStyleTb = 0;
  int m_maxTextRows = 1;
  int m_indent = 0;
  int m_minWidth = 0, m_maxWidth = 0;
  TBINSERTMARK m_insertMark;
  int m_hot = -1;
  int m_pressed = -1;
  bool m_pressedInside = false;
  int m_dragIndex = -1;  // an adjustable bar's button being dragged

 private:
  void Relayout();
  void ComputeRects();
  CSize ComputedButtonSize() const;
  std::vector<std::string> WrappedText(const std::string& text, int width) const;
  // A button text wrapped at the bar's width and measured, once per text,
  // font, width and row limit: layout passes ask for every button's size
  // once per button.
  struct MeasuredText {
    std::vector<std::string> lines;
    int widest = 0;   // the widest wrapped line
    int oneLine = 0;  // the whole text on one line
  };
  const MeasuredText& Measured(const std::string& text) const;
  const MeasuredText& MeasuredAsIs(const std::string& text) const;  // measures already valid
  int TextLineHeight() const;
  void ValidateMeasures() const;
  int IndexFromCommand(int id) const;
  void OnMouse(UINT msg, UINT flags, CPoint point);
  void EndDrag(CPoint point, bool cancel);
  void DrawButton(CDC& dc, int index, const CRect& rect, COLORREF text);
  void DrawSeparatorLine(CDC& dc, const CRect& rect) const;
  int InsertIndexAt(CPoint point) const;
  std::vector<CRect> m_rects;
  int m_textRowsUsed = 0;
  mutable std::unordered_map<std::string, MeasuredText> m_measured;
  mutable QFont m_measuredFont;
  mutable int m_measuredWrap = -1, m_measuredRows = -1, m_lineHeight = 0;
};
