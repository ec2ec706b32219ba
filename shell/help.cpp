#include "shell/help.h"

#include <fstream>
#include <iterator>

#include "platform/format.h"
#include "platform/gui/services.h"
#include "platform/message.h"
#include "res/string_ids.h"

bool OpenHelpFile(const std::string& path, unsigned context, unsigned command) {
  // Topics are anchors named after their context number: "#ctx-2009c".
  const std::string topic =
      command == HELP_INDEX ? std::string() : fw::FormatText("ctx-%x", context);
  return fw::OpenProgramFile(path, topic);
}

namespace {

// Whether the page has an anchor for the context (id="ctx-20080" or name='ctx-20080').
bool HasTopic(const std::string& path, unsigned context) {
  std::ifstream in(path, std::ios::binary);
  const std::string page{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const std::string topic = fw::FormatText("ctx-%x", context);
  return page.find('"' + topic + '"') != std::string::npos ||
         page.find('\'' + topic + '\'') != std::string::npos;
}

}  // namespace

bool CHelpFileService::ShowContext(unsigned contextId) {
  return Show(contextId, HELP_CONTEXT);
}

bool CHelpFileService::ShowIndex() {
  return Show(0, HELP_INDEX);
}

bool CHelpFileService::ShowTopicOrIndex(unsigned contextId) {
  return Show(contextId, HasTopic(m_path, contextId) ? HELP_CONTEXT : HELP_INDEX);
}

bool CHelpFileService::Show(unsigned contextId, unsigned command) {
  if (OpenHelpFile(m_path, contextId, command)) return true;
  AfxMessageBox(IDS_NO_HELP_INSTALLED, MB_OK | MB_ICONINFORMATION);
  return false;
}
