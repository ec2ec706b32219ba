#include "toolkit/mainwindowtoolbar.h"

#include "platform/gui/framewnd.h"
#include "toolkit/cooltoolbar.h"

bool CreateMainWindowToolBar(CFrameWnd& frame, CCoolToolBar& bar, unsigned toolBarId,
                             unsigned hotBitmapId) {
  if (!bar.CreateEx(&frame, TBSTYLE_FLAT,
                    WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER | CBRS_TOOLTIPS | CBRS_FLYBY |
                        CBRS_SIZE_DYNAMIC,
                    CRect(), AFX_IDW_TOOLBAR) ||
      !bar.LoadToolBar(toolBarId))
    return false;
  bar.SetSizes(CSize(24, 22), CSize(16, 16));
  bar.SendMessage(TB_AUTOSIZE);
  if (CImageList* hot = bar.LoadHotImageList(hotBitmapId, 16, 0, RGB(192, 192, 192)))
    bar.SetHotImageList(hot);
  bar.m_crDefaultText = RGB(0, 0, 128);
  bar.m_crHotText = RGB(0, 0, 255);
  if (bar.SendMessage(TB_SETBUTTONWIDTH, 0, MAKELPARAM(0, 100))) {
    bar.m_nMinButtonsWidth = 0;
    bar.m_nMaxButtonsWidth = 100;
  }
  bar.SendMessage(TB_SETMAXTEXTROWS, 3);
  bar.SetButtonTextsFromCommands(0, 0xFFFF, 0);
  bar.SetSizes(bar.GetButtonSize(), CSize(16, 16));
  bar.SendMessage(TB_AUTOSIZE);
  bar.EnableDocking(CBRS_ALIGN_ANY);
  frame.EnableDocking(CBRS_ALIGN_ANY);
  frame.DockControlBar(&bar);
  return true;
}
