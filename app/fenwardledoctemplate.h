// The configuration program's document template: opening the project that
// is open already reads it again from its file (after the save prompt), so
// changes made on disk become visible.
#pragma once

#include "platform/gui/doctemplate.h"

class CFenwardleDocTemplate : public CSingleDocTemplate {
 public:
  // The project document, the main frame and the configuration list pane.
  CFenwardleDocTemplate();
  Confidence MatchDocType(const std::string& path, CDocument*& match) override;
};
