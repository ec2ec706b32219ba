// The toolbar of both programs' main windows: flat, with a gripper, docked
// on top, its buttons' texts taken from their commands in up to three rows,
// the hot images of its own bitmap.
#pragma once

class CCoolToolBar;
class CFrameWnd;

// Makes `bar` in `frame` from the TOOLBAR resource `toolBarId` and docks it;
// false when the bar or its resource cannot be made.
[[nodiscard]] bool CreateMainWindowToolBar(CFrameWnd& frame, CCoolToolBar& bar, unsigned toolBarId,
                                           unsigned hotBitmapId);
