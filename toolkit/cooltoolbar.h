// The toolbar of both main frames: a CToolBar with a drawn gripper and
// caption icon, button texts from the string table or the menu, separate
// normal and hot text colours, cached image lists, windows standing on the
// bar in place of buttons (custom buttons), a customisation mode with its
// own context menu, and saved settings in the per-user profile.
#pragma once

#include <QPointer>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/menu.h"
#include "platform/gui/toolbar.h"
#include "toolkit/bararchive.h"

class CCoolToolBar;
class QMimeData;

// The window of a custom button, kept by a holder the program provides.
class ICoolBarControl {
 public:
  virtual ~ICoolBarControl() = default;
  virtual CWnd* GetWindow() = 0;
  virtual bool Create(UINT id, CCoolToolBar* bar, std::uint32_t style, std::uint32_t exStyle,
                      const std::string& className, const std::string& name) = 0;
  // A holder with its own window for another bar; nullptr to share this one.
  virtual std::shared_ptr<ICoolBarControl> CopyFor(CCoolToolBar* bar) = 0;
  virtual void Destroy() = 0;
  // A temporary holder is not kept when its button is taken off the bar.
  virtual bool IsTemporary() const = 0;
  virtual void Store(CBarArchiveWriter& out) const = 0;
  [[nodiscard]] virtual bool Load(CBarArchiveReader& in) = 0;
};

// One custom button: its control, and how it stands on a bar.
struct CCoolCustomButton {
  std::shared_ptr<ICoolBarControl> control;
  UINT id = 0;
  int width = -1;
  int height = -1;       // 0 or less: the button height
  int visibility = 7;    // bit 0 docked left/right, bit 1 top/bottom, bit 2 floating
  int hiddenImage = -1;  // image of the placeholder button while the window is hidden
};

// WM_NOTIFY codes to the notify window.
inline constexpr UINT kCoolBarCommand = 32899;     // NMCOOLBARCOMMAND
inline constexpr UINT kCoolBarCustomDraw = 32891;  // NMCOOLBARCUSTOMDRAW
// Customisation commands (context menu and notifications).
inline constexpr UINT ID_COOLBAR_SELECT = 32892;
inline constexpr UINT ID_COOLBAR_REMOVE = 32893;
inline constexpr UINT ID_COOLBAR_CUSTOMIZE = 32894;
inline constexpr UINT ID_COOLBAR_IMAGE_ONLY = 32895;
inline constexpr UINT ID_COOLBAR_IMAGE_TEXT = 32896;
inline constexpr UINT ID_COOLBAR_SEPARATOR_BEFORE = 32897;
inline constexpr UINT ID_COOLBAR_SEPARATOR_AFTER = 32898;
// Drag and drop callbacks as private messages (lParam: COOLDRAGINFO*).
inline constexpr UINT WM_COOLBAR_DRAGENTER = 32941;
inline constexpr UINT WM_COOLBAR_DRAGLEAVE = 32942;
inline constexpr UINT WM_COOLBAR_DRAGOVER = 32943;
inline constexpr UINT WM_COOLBAR_DRAGSCROLL = 32944;
inline constexpr UINT WM_COOLBAR_DROP = 32945;
inline constexpr UINT WM_COOLBAR_DROPEX = 32946;
inline constexpr UINT WM_COOLBAR_GIVEFEEDBACK = 32947;
inline constexpr UINT WM_COOLBAR_BEGINDRAG = 32948;
inline constexpr UINT WM_COOLBAR_QUERYCONTINUE = 32949;
inline constexpr std::uint32_t DROPEFFECT_NONE = 0;
inline constexpr std::uint32_t DROPEFFECT_COPY = 1;
inline constexpr std::uint32_t DROPEFFECT_MOVE = 2;

struct NMCOOLBARCOMMAND {
  NMHDR hdr;
  std::uint32_t command = 0;
  std::uint32_t param = 0;
};

struct NMCOOLBARCUSTOMDRAW {
  NMHDR hdr;
  NMTBCUSTOMDRAW* draw = nullptr;
  LRESULT result = 0;
  bool doDefault = true;
};

struct COOLDRAGINFO {
  const QMimeData* data = nullptr;
  std::uint32_t keyState = 0;
  CPoint point;
  std::uint32_t effect = DROPEFFECT_NONE;
  bool answered = false;  // the bar handled the callback
};

class CCoolToolBar : public CToolBar {
 public:
  CCoolToolBar();
  ~CCoolToolBar() override;

  bool CreateEx(CWnd* parent, std::uint32_t ctrlStyle = TBSTYLE_FLAT,
                std::uint32_t style = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP,
                CRect borders = CRect(), int id = AFX_IDW_TOOLBAR) override;

  // The image list of a BITMAP resource (cx-wide images), loaded once and
  // kept for the bar's life; nullptr when it cannot be loaded.
  CImageList* LoadHotImageList(unsigned resourceId, int cx, int grow, COLORREF mask,
                               unsigned type = IMAGE_BITMAP, unsigned flags = LR_DEFAULTCOLOR);
  // Button texts for commands first..last: 0 the string up to its first
  // newline, 1 after it, 2 the menu item's text, 3 unchanged, 4 none.
  void SetButtonTextsFromCommands(UINT first, UINT last, int textType);
  int GetTextType() const { return m_nTextType; }

  // Customisation: on and not advanced uses the control's own (adjustable)
  // customisation, advanced the bar's mouse handling and context menu.
  // Without customize commands the bar is not customizable.
  void SetCustomizable(bool on, bool advanced);
  virtual bool IsCustomizable(bool advanced) const;
  void SetCustomizeCommands(const std::vector<UINT>& commands);
  const std::vector<UINT>& customizeCommands() const { return m_customizeCommands; }
  void SetCustomizationMode(bool on);
  bool customizationMode() const { return m_bCustomizationMode; }
  void SetCustomizedButton(int index);
  int GetCustomizedButton() const { return m_nCustomizedButton; }
  virtual int TrackCustomizeMenu(int index, CPoint screenPoint);

  void SetDropDownArrow(bool on);
  bool GetDropDownArrow() const;
  int dropDownArrowWidth() const { return m_nDropDownArrowWidth; }

  // The custom-button types of the process, by control id.
  static void AddCustomButtonType(UINT id, std::shared_ptr<ICoolBarControl> control, int width = -1,
                                  int height = -1, int visibility = 7, int hiddenImage = -1);
  static void ResetCustomButtonTypes();
  static const std::vector<UINT>& CustomButtonIds();
  static std::map<UINT, CCoolCustomButton>& CustomButtonTable();
  bool InsertCustomButton(int index, int tableIndex, std::uint32_t style, std::uint32_t exStyle,
                          const std::string& className, const std::string& name);
  const std::map<int, CCoolCustomButton>& customButtons() const { return m_customButtons; }

  void RecalcLayout(bool recalcFrame, bool updateFrame);
  void SetNotifyWindow(CWnd* window);
  void SetCaptionIcon(HICON icon);

  // Saved settings (profile values under the section and value name).
  virtual bool SaveBarState(const std::string& section, const std::string& value, bool properties);
  // A blob that does not read back completely changes nothing: the bar stays
  // as it was, the result is false and error gets one line.
  virtual bool LoadBarState(const std::string& section, const std::string& value, bool properties,
                            std::string* error = nullptr);

  // Appearance, as the saved settings keep it.
  bool m_bCool = false;
  bool m_bGripper = true;
  bool m_bSeparator = true;
  COLORREF m_crDefaultText;
  COLORREF m_crHotText;
  int m_nMinButtonsWidth = -1;
  int m_nMaxButtonsWidth = -1;
  int m_nIndent = 0;
  const std::map<UINT, std::string>& hiddenTexts() const { return m_hiddenTexts; }

  void OnUpdateCmdUI(CCmdTarget* target, bool disableIfNoHandler) override;
  CSize CalcFixedLayout(bool stretch, bool horizontal) override;
  CSize CalcDynamicLayout(int length, std::uint32_t mode) override;

  // Drawn in the bar's frame (the dock host's handle area).
  virtual void DrawGripper(CDC& dc, const CRect& rect);
  virtual void DrawIcon(CDC& dc, const CRect& rect);
  // The leading room the frame keeps for the caption icon and gripper.
  int LeadingExtent() const;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override;
  bool OnReflectNotify(NMHDR* hdr, LRESULT* result) override;
  CSize CalcLayout(std::uint32_t mode, int length = -1) override;

  virtual void DrawSeparator(CDC& dc, const CRect& rect);
  virtual void DrawCustomizedButton(CDC& dc, const CRect& rect);
  virtual void OnFloatingDocking(bool floating);
  virtual void OnChangeDockSide(std::uint32_t side);
  virtual std::uint32_t OnDragEnter(COOLDRAGINFO* info);
  virtual std::uint32_t OnDragOver(COOLDRAGINFO* info);
  virtual void OnDragLeave();
  virtual std::uint32_t OnDrop(COOLDRAGINFO* info);

  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnLButtonUp(UINT flags, CPoint point) override;
  void OnLButtonDblClk(UINT flags, CPoint point) override;
  void OnRButtonDown(UINT flags, CPoint point) override;
  void OnRButtonUp(UINT flags, CPoint point) override;
  void OnMButtonDown(UINT flags, CPoint point) override;
  void OnMouseMove(UINT flags, CPoint point) override;

 private:
  friend class CCoolDropFilter;
  LRESULT NotifyCommand(UINT command);
  CWnd* NotifyWindow() const;
  void RunCustomizeCommand(UINT command);
  int SelectAt(CPoint point) const;
  void PositionCustomButton(int index);
  void PositionCustomButtons();
  bool VisibleHere(const CCoolCustomButton& button) const;
  void AfterInsert(int index);
  void AfterDelete(int index, const TBBUTTON& removed);
  void AfterMove(int from, int to);
  void MeasureDropDownArrow();
  std::string CommandText(UINT id, int textType) const;
  // Saved settings: the three blobs and the control's state.
  std::vector<std::uint8_t> ButtonsBlob() const;
  std::vector<std::uint8_t> PositionsBlob() const;
  static std::vector<std::uint8_t> TableBlob();

  int m_nTextType = 3;
  bool m_bDropDownArrow = false;
  int m_nPrevFloating = 3;
  int m_nPrevDockSide = -1;
  HICON m_hCaptionIcon = nullptr;
  int m_nCustomizedButton = -1;
  bool m_bAdvancedCustomization = false;
  bool m_bCustomizationMode = false;
  QPointer<QWidget> m_notifyWindow;
  bool m_bDragOver = false;
  bool m_bDragStarted = false;
  int m_nInsertIndex = -1;
  std::vector<UINT> m_customizeCommands;
  std::map<unsigned, std::unique_ptr<CImageList>> m_imageLists;
  std::map<UINT, std::string> m_hiddenTexts;
  std::map<int, CCoolCustomButton> m_customButtons;
  bool m_bInternalUpdate = false;
  bool m_bMapStale = false;
  bool m_bEraseSuppressed = false;
  unsigned m_pendingUpdates = 0;
  int m_nDropDownArrowWidth = 0;
  std::unique_ptr<QObject> m_dropFilter;
};

namespace fw {
// Readers of the saved settings, checked as a whole (fuzzed).
struct CoolBarButtonSetting {
  int command = 0;
  int image = 0;
  std::uint8_t style = 0;
  bool hasText = false;
  std::string text;
};
[[nodiscard]] bool ParseCoolBarButtons(const std::vector<std::uint8_t>& blob,
                                       std::vector<CoolBarButtonSetting>* out);
[[nodiscard]] bool ParseCoolBarPositions(const std::vector<std::uint8_t>& blob,
                                         std::vector<std::pair<int, UINT>>* out);
struct CoolBarTableEntry {
  UINT id = 0;
  int width = -1, height = -1, visibility = 7, hiddenImage = -1;
  std::vector<std::uint8_t> controlData;  // what the entry's holder stored
};
// Entries whose control id has no known holder end the reading there.
[[nodiscard]] bool ParseCoolBarTable(const std::vector<std::uint8_t>& blob,
                                     std::vector<CoolBarTableEntry>* out);
}  // namespace fw
