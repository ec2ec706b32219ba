#include "tools/autosizenotewnd.h"

#include <algorithm>

void CAutoSizeNoteWnd::FitToText() {
  CImageDC dc(1, 1);
  dc.SelectObject(const_cast<CFont*>(&NoteFont()));  // selecting does not change the font
  const QRect place = geometry();
  CRect r(place.left(), place.top(), place.left() + std::max(1, place.width()),
          place.top() + std::max(1, place.height()));
  dc.DrawText(GetNoteText() + " ", &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  setGeometry(r.left, r.top, r.Width() + 12, r.Height() + 12);
  update();
}
