#include "platform/gui/cmdtarget.h"

void CCmdUI::Enable(bool on) {
  m_enabled = on;
  m_enableChanged = true;
}

void CCmdUI::SetCheck(int check) {
  m_check = check;
}

void CCmdUI::SetText(const std::string& text) {
  m_text = text;
  m_textChanged = true;
}

bool CCmdUI::DoUpdate(CCmdTarget* target, bool disableIfNoHandler) {
  if (!target) {
    if (disableIfNoHandler) Enable(false);
    return false;
  }
  if (target->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this)) return true;
  if (target->OnCmdMsg(m_nID, CN_QUERY_HANDLER, nullptr)) {
    Enable(true);
    return true;
  }
  if (disableIfNoHandler) Enable(false);
  return false;
}

const std::function<void()>* CCmdTarget::FindCommand(unsigned id, unsigned code) const {
  auto it = m_commands.find({id, code});
  return it == m_commands.end() ? nullptr : &it->second;
}

bool CCmdTarget::OnCmdMsg(unsigned id, int code, CCmdUI* ui) {
  if (code == CN_UPDATE_COMMAND_UI) {
    if (!ui) return false;
    if (auto it = m_updates.find(id); it != m_updates.end()) {
      auto handler = it->second;  // a handler may replace its own entry
      handler(ui);
      return true;
    }
    for (const auto& [key, entry] : m_updateRanges) {
      if (id >= entry.first.first && id <= entry.first.last) {
        auto handler = entry.second;
        handler(ui);
        return true;
      }
    }
    return false;
  }
  const bool query = code == CN_QUERY_HANDLER;
  const unsigned notify = query ? 0u : static_cast<unsigned>(code);
  if (const auto* handler = FindCommand(id, notify)) {
    if (!query) {
      auto copy = *handler;
      copy();
    }
    return true;
  }
  if (notify == 0) {
    for (const auto& [key, entry] : m_commandRanges) {
      if (id >= entry.first.first && id <= entry.first.last) {
        if (!query) {
          auto copy = entry.second;
          copy(id);
        }
        return true;
      }
    }
  }
  return false;
}

void CCmdTarget::SetCommandHandler(int id, std::function<void()> handler, unsigned code) {
  const std::pair<unsigned, unsigned> key{static_cast<unsigned>(id) & 0xFFFF, code & 0xFFFF};
  if (handler)
    m_commands[key] = std::move(handler);
  else
    m_commands.erase(key);
}

void CCmdTarget::SetCommandRangeHandler(unsigned first, unsigned last,
                                        std::function<void(unsigned)> handler) {
  if (handler)
    m_commandRanges[first] = {Range{first, last}, std::move(handler)};
  else
    m_commandRanges.erase(first);
}

void CCmdTarget::SetUpdateHandler(unsigned id, std::function<void(CCmdUI*)> handler) {
  if (handler)
    m_updates[id] = std::move(handler);
  else
    m_updates.erase(id);
}

void CCmdTarget::SetUpdateRangeHandler(unsigned first, unsigned last,
                                       std::function<void(CCmdUI*)> handler) {
  if (handler)
    m_updateRanges[first] = {Range{first, last}, std::move(handler)};
  else
    m_updateRanges.erase(first);
}
