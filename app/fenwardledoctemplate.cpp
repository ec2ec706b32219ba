#include "app/fenwardledoctemplate.h"

#include "shell/commandids.h"
#include "app/fenwardledoc.h"
#include "app/leftview.h"
#include "app/mainframe.h"

CFenwardleDocTemplate::CFenwardleDocTemplate()
    : CSingleDocTemplate(
          IDR_MAINFRAME, [] { return std::make_unique<CFenwardleDoc>(); },
          [] { return std::make_unique<CMainFrame>(); },
          [] { return std::make_unique<CLeftView>(); }) {}

CDocTemplate::Confidence CFenwardleDocTemplate::MatchDocType(const std::string& path,
                                                             CDocument*& match) {
  const Confidence c = CSingleDocTemplate::MatchDocType(path, match);
  if (c != yesAlreadyOpen) return c;
  match = nullptr;
  return yesAttemptNative;
}
