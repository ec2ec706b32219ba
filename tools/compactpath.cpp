#include "tools/compactpath.h"

#include <QFontMetrics>

#include "platform/gui/qtstring.h"
#include "platform/gui/wnd.h"

namespace fw {

namespace {

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

// The separator the path itself uses (a backslash when it has none).
char SeparatorOf(const std::string& path) {
  for (char c : path)
    if (IsSeparator(c)) return c;
  return '\\';
}

}  // namespace

std::string CompactPathText(const std::string& path, int available,
                            const std::function<int(const std::string&)>& measure, int averageChar,
                            unsigned flags) {
  auto finish = [flags](std::string s) {
    if (flags & kCompactForwardSlashes)
      for (char& c : s)
        if (c == '\\') c = '/';
    return s;
  };
  if (measure(path) + 5 <= available) return finish(path);

  const char sep = SeparatorOf(path);
  const std::string ellipsis = "...";
  std::size_t lastSep = std::string::npos;
  for (std::size_t i = path.size(); i-- > 0;)
    if (IsSeparator(path[i])) {
      lastSep = i;
      break;
    }
  const std::string file = lastSep == std::string::npos ? path : path.substr(lastSep + 1);
  const std::string dir =
      lastSep == std::string::npos ? std::string() : path.substr(0, lastSep + 1);

  // The head: "." for a path relative to here, every leading ".." for one
  // that climbs; otherwise the drive (or root) and the first folder.
  std::string head;
  bool relativeHead = false;
  if (dir.size() >= 2 && dir[0] == '.' && IsSeparator(dir[1])) {
    head = ".";
    relativeHead = true;
  } else if (dir.size() >= 3 && dir[0] == '.' && dir[1] == '.' && IsSeparator(dir[2])) {
    std::size_t end = 0;
    while (end + 3 <= dir.size() && dir[end] == '.' && dir[end + 1] == '.' &&
           IsSeparator(dir[end + 2]))
      end += 3;
    head = dir.substr(0, end - 1);
    relativeHead = true;
  } else {
    std::size_t seen = 0, cut = std::string::npos;
    for (std::size_t i = 0; i < dir.size(); ++i)
      if (IsSeparator(dir[i]) && ++seen == 2) {
        cut = i;
        break;
      }
    head = cut == std::string::npos ? std::string() : dir.substr(0, cut);
  }

  const std::string shortForm = head + sep + ellipsis + sep + file;
  if (!head.empty() && measure(shortForm) + 5 < available) {
    // Reveal the hidden folders from their end while there is room.
    const std::size_t midStart = head.size();
    const std::string middle =
        lastSep > midStart ? path.substr(midStart, lastSep - midStart) : std::string();
    std::string result = shortForm;
    for (std::size_t i = 1; i <= middle.size(); ++i) {
      result = head + sep + ellipsis + middle.substr(middle.size() - i) + sep + file;
      if (measure(result) + averageChar + 5 >= available) break;
    }
    return finish(result);
  }

  std::string result = ellipsis + sep + file;
  if (!relativeHead) {
    for (std::string h = head; !h.empty(); h.pop_back()) {
      const std::string candidate = h + sep + ellipsis + sep + file;
      if (measure(candidate) + averageChar + 5 < available) {
        result = candidate;
        break;
      }
    }
  }
  return finish(result);
}

std::string CompactPath(const std::string& path, CWnd* control, unsigned flags) {
  if (!control || !control->IsWindow()) return path;
  CRect rect;
  control->GetWindowRect(&rect);
  QFont font = control->widget()->font();
  if (CFont* f = control->GetFont(); f && f->IsValid()) font = f->font();
  const QFontMetrics metrics(font);
  const std::string result = CompactPathText(
      path, rect.Width(),
      [&metrics](const std::string& s) { return metrics.horizontalAdvance(fw::ToQ(s)); },
      metrics.averageCharWidth(), flags);
  control->SetWindowText(result);
  return result;
}

}  // namespace fw
