// Command targets: the objects that take menu, toolbar, accelerator and
// control commands (windows, documents, the application) and that answer,
// before a menu opens or while the toolbar idles, whether a command is
// enabled or checked right now (update-UI). A frame routes both kinds of
// request along view -> document -> frame -> application by overriding
// OnCmdMsg; a plain target only looks in its own tables.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <utility>

class CCmdTarget;

// What OnCmdMsg is asked to do.
inline constexpr int CN_COMMAND = 0;             // run the command (control code 0: BN_CLICKED)
inline constexpr int CN_UPDATE_COMMAND_UI = -1;  // fill in the CCmdUI passed along
inline constexpr int CN_QUERY_HANDLER = -2;      // only say whether a command handler exists

// The state of one command's menu item or toolbar button, as update-UI
// handlers set it. Menus and toolbars derive to apply it to their item; the
// base records what was set, which is all tests and routing need.
class CCmdUI {
 public:
  virtual ~CCmdUI() = default;

  unsigned m_nID = 0;
  unsigned m_nIndex = 0;  // position of the item in its menu or bar

  virtual void Enable(bool on = true);
  virtual void SetCheck(int check = 1);  // 0 unchecked, 1 checked, 2 indeterminate
  virtual void SetRadio(bool on = true) { SetCheck(on ? 1 : 0); }
  virtual void SetText(const std::string& text);

  // Asks target for the state of m_nID. A command with a handler but no
  // update handler is enabled; one with neither is disabled when
  // disableIfNoHandler. True when a handler of either kind answered.
  bool DoUpdate(CCmdTarget* target, bool disableIfNoHandler);

  bool enableChanged() const { return m_enableChanged; }
  bool enabled() const { return m_enabled; }
  int check() const { return m_check; }
  bool textChanged() const { return m_textChanged; }
  const std::string& text() const { return m_text; }

 private:
  bool m_enableChanged = false;
  bool m_enabled = true;
  int m_check = 0;
  bool m_textChanged = false;
  std::string m_text;
};

class CCmdTarget {
 public:
  CCmdTarget() = default;
  virtual ~CCmdTarget() = default;
  CCmdTarget(const CCmdTarget&) = delete;
  CCmdTarget& operator=(const CCmdTarget&) = delete;

  // code CN_COMMAND or a control notification code: runs the handler;
  // CN_UPDATE_COMMAND_UI: calls the update handler with ui;
  // CN_QUERY_HANDLER: reports whether a command handler exists.
  // True when this target (or, for routing targets, one it passes to) handled it.
  virtual bool OnCmdMsg(unsigned id, int code, CCmdUI* ui);

  // ON_COMMAND(id) and ON_CONTROL(code, id) (BN_CLICKED is code 0).
  void SetCommandHandler(int id, std::function<void()> handler, unsigned code = 0);
  // ON_COMMAND_RANGE: one handler for ids first..last, given the id.
  void SetCommandRangeHandler(unsigned first, unsigned last, std::function<void(unsigned)> handler);
  // ON_UPDATE_COMMAND_UI(id) and its range form.
  void SetUpdateHandler(unsigned id, std::function<void(CCmdUI*)> handler);
  void SetUpdateRangeHandler(unsigned first, unsigned last, std::function<void(CCmdUI*)> handler);

 private:
  struct Range {
    unsigned first;
    unsigned last;
  };
  const std::function<void()>* FindCommand(unsigned id, unsigned code) const;

  std::map<std::pair<unsigned, unsigned>, std::function<void()>> m_commands;  // (id, code)
  std::map<unsigned, std::pair<Range, std::function<void(unsigned)>>> m_commandRanges;
  std::map<unsigned, std::function<void(CCmdUI*)>> m_updates;
  std::map<unsigned, std::pair<Range, std::function<void(CCmdUI*)>>> m_updateRanges;
};
