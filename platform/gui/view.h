// Views: windows that show a document. The document tells its views of every
// change (OnUpdate with a hint); a view offers a command to itself first and
// then to its document, so the frame only has to route to the active view.
#pragma once

#include "platform/gui/document.h"
#include "platform/gui/wnd.h"

class CFrameWnd;

class CView : public CWnd {
 public:
  CView() = default;
  ~CView() override;

  CDocument* GetDocument() const { return m_pDocument; }
  // The frame window the view is in, or null.
  CFrameWnd* GetParentFrame() const;

  // After the document was loaded or created: by default as an update of everything.
  virtual void OnInitialUpdate();
  // A change of the document; by default the whole view is repainted.
  virtual void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject);

  // The view's own commands, then its document's.
  bool OnCmdMsg(unsigned id, int code, CCmdUI* ui) override;

 protected:
  // Paints the view's content (the view's OnPaint calls it).
  virtual void OnDraw(CDC* /*dc*/) {}
  void OnPaint() override;

 private:
  friend class CDocument;
  CDocument* m_pDocument = nullptr;
};
