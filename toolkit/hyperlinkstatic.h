// A static text that is a link: underlined, blue until visited and purple
// afterwards, a hand cursor, a tool tip naming its target, and a click that
// carries out its action (CHyperLinkTarget); Tab reaches it and Space or
// Enter carries the action out too.
#pragma once

#include "toolkit/hyperlinktarget.h"
#include "toolkit/textstatic.h"

class CHyperLinkStatic : public CTextStatic {
 public:
  static constexpr COLORREF kUnvisited = RGB(0, 0, 255);
  static constexpr COLORREF kVisited = RGB(128, 0, 128);
  static constexpr int kLinkCursorId = 28020;

  CHyperLinkStatic();
  ~CHyperLinkStatic() override;

  void SetAction(int type, const std::string& file, const std::string& parameters = {},
                 const std::string& directory = {}, int showCommand = SW_SHOWNORMAL,
                 UINT message = 0, HWND target = nullptr);
  const CHyperLinkTarget& action() const { return m_action; }
  bool visited() const { return m_bVisited; }
  void SetVisited(bool visited);
  HCURSOR linkCursor() const { return m_hLinkCursor; }

  bool m_bUseWindowText = true;
  bool m_bReportErrors = true;

  // The text, and the focus frame while the link has the focus.
  void Paint(CDC& dc) override;

 protected:
  virtual void LoadLinkCursor();
  // Carries out the action; true when it succeeded.
  virtual bool FollowLink();

  void Initialise() override;
  void RebuildFont() override;
  void UpdateToolTipText() override;
  void CtlColor(CDC* dc) override;
  bool OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) override;
  void OnLButtonUp(UINT flags, CPoint point) override;
  // A link is pressed from the keyboard as a button is: it is a Tab stop,
  // shows the focus with a dotted frame, and Space or Enter follows it.
  void OnSetFocus(CWnd* oldWnd) override;
  void OnKillFocus(CWnd* newWnd) override;
  void OnKeyDown(UINT vk, UINT repeat, UINT flags) override;
  LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override;

 private:
  COLORREF m_crUnvisited = kUnvisited;
  COLORREF m_crVisited = kVisited;
  bool m_bVisited = false;
  CHyperLinkTarget m_action;
  HCURSOR m_hLinkCursor = nullptr;
};
