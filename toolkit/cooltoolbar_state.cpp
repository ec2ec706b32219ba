// Saving and restoring a cool toolbar in the per-user profile.
#include <algorithm>
#include <set>

#include "platform/profile.h"
#include "toolkit/cooltoolbar.h"

namespace {

constexpr std::int32_t kMaxSavedButtons = 4096;
constexpr std::size_t kMaxTextLength = 4096;
constexpr std::size_t kMaxControlData = 65536;
const char* const kTableValue = "Toolbars_CustomButtonsSettings";

// Stored values of "Customizable".
enum : int { kNotCustomizable = 0, kCustomizableAdvanced = 1, kCustomizableStandard = 2 };

bool LiveWindow(const CCoolCustomButton& button) {
  if (!button.control) return false;
  CWnd* w = button.control->GetWindow();
  return w && w->IsWindow();
}

std::string SizeName(const std::string& value) {
  return value + "_Size";
}

// A blob and its length value; absent when either is missing.
enum class BlobState { Absent, Present, Bad };
BlobState ReadBlob(const fw::CProfile& profile, const std::string& section, const std::string& name,
                   std::vector<std::uint8_t>* out) {
  const int size = profile.GetProfileInt(section, SizeName(name), -1);
  std::vector<std::uint8_t> bytes;
  const bool have = profile.GetProfileBinary(section, name, bytes);
  if (size < 0 && !have) return BlobState::Absent;
  if (size < 0 || !have || static_cast<std::size_t>(size) != bytes.size()) return BlobState::Bad;
  *out = std::move(bytes);
  return BlobState::Present;
}

}  // namespace

namespace fw {

bool ParseCoolBarButtons(const std::vector<std::uint8_t>& blob,
                         std::vector<CoolBarButtonSetting>* out) {
  CBarArchiveReader in(blob);
  std::int32_t count = 0;
  if (!in.Int(&count) || count < 0 || count > kMaxSavedButtons) return false;
  std::vector<CoolBarButtonSetting> parsed;
  for (std::int32_t i = 0; i < count; ++i) {
    CoolBarButtonSetting s;
    std::int32_t command = 0, image = 0, hasText = 0;
    if (!in.Int(&command) || !in.Int(&image) || !in.Byte(&s.style) || !in.Int(&hasText) ||
        !in.String(&s.text, kMaxTextLength))
      return false;
    if (command < 0 || command > 0xFFFF || image < -1 || image > 0xFFFF ||
        (hasText != 0 && hasText != 1))
      return false;
    s.command = command;
    s.image = image;
    s.hasText = hasText == 1;
    parsed.push_back(std::move(s));
  }
  if (!in.AtEnd()) return false;
  if (out) *out = std::move(parsed);
  return true;
}

bool ParseCoolBarPositions(const std::vector<std::uint8_t>& blob,
                           std::vector<std::pair<int, UINT>>* out) {
  CBarArchiveReader in(blob);
  std::int32_t count = 0;
  if (!in.Int(&count) || count < 0 || count > kMaxSavedButtons) return false;
  std::vector<std::pair<int, UINT>> parsed;
  int previous = -1;
  for (std::int32_t i = 0; i < count; ++i) {
    std::int32_t index = 0, id = 0;
    if (!in.Int(&index) || !in.Int(&id)) return false;
    // Saved in bar order: each index past the one before.
    if (index <= previous || index > kMaxSavedButtons || id <= 0 || id > 0xFFFF) return false;
    previous = index;
    parsed.emplace_back(index, static_cast<UINT>(id));
  }
  if (!in.AtEnd()) return false;
  if (out) *out = std::move(parsed);
  return true;
}

bool ParseCoolBarTable(const std::vector<std::uint8_t>& blob, std::vector<CoolBarTableEntry>* out) {
  CBarArchiveReader in(blob);
  std::int32_t count = 0;
  if (!in.Int(&count) || count < 0 || count > kMaxSavedButtons) return false;
  std::vector<CoolBarTableEntry> parsed;
  std::set<UINT> seen;
  for (std::int32_t i = 0; i < count; ++i) {
    CoolBarTableEntry e;
    std::int32_t id = 0, length = 0;
    if (!in.Int(&id) || !in.Int(&e.width) || !in.Int(&e.height) || !in.Int(&e.visibility) ||
        !in.Int(&e.hiddenImage) || !in.Int(&length))
      return false;
    if (id <= 0 || id > 0xFFFF || !seen.insert(static_cast<UINT>(id)).second) return false;
    if (e.width < -1 || e.width > 0xFFFF || e.height < -1 || e.height > 0xFFFF ||
        e.visibility < 0 || e.visibility > 7 || e.hiddenImage < -1 || e.hiddenImage > 0xFFFF)
      return false;
    // The holder's own data carries its length, so it can be checked (and
    // skipped) without the holder.
    if (length < 0 || static_cast<std::size_t>(length) > kMaxControlData ||
        static_cast<std::size_t>(length) > in.remaining())
      return false;
    e.id = static_cast<UINT>(id);
    e.controlData.resize(static_cast<std::size_t>(length));
    for (auto& b : e.controlData)
      if (!in.Byte(&b)) return false;
    parsed.push_back(std::move(e));
  }
  if (!in.AtEnd()) return false;
  if (out) *out = std::move(parsed);
  return true;
}

}  // namespace fw

std::vector<std::uint8_t> CCoolToolBar::ButtonsBlob() const {
  CBarArchiveWriter out;
  const int count = GetCount();
  out.Int(count);
  for (int i = 0; i < count; ++i) {
    TBBUTTON b;
    GetButton(i, &b);
    const std::string text = GetButtonText(i);
    out.Int(b.idCommand);
    out.Int(b.iBitmap);
    out.Byte(b.fsStyle);
    out.Int(text.empty() ? 0 : 1);
    std::string stored = text;
    if (stored.empty())
      if (auto it = m_hiddenTexts.find(static_cast<UINT>(b.idCommand)); it != m_hiddenTexts.end())
        stored = it->second;
    out.String(stored);
  }
  return out.bytes();
}

std::vector<std::uint8_t> CCoolToolBar::PositionsBlob() const {
  CBarArchiveWriter out;
  out.Int(static_cast<std::int32_t>(m_customButtons.size()));
  for (const auto& [index, rec] : m_customButtons) {
    out.Int(index);
    out.Int(static_cast<std::int32_t>(rec.id));
  }
  return out.bytes();
}

std::vector<std::uint8_t> CCoolToolBar::TableBlob() {
  CBarArchiveWriter out;
  const auto& ids = CustomButtonIds();
  out.Int(static_cast<std::int32_t>(ids.size()));
  for (UINT id : ids) {
    const CCoolCustomButton& rec = CustomButtonTable()[id];
    out.Int(static_cast<std::int32_t>(id));
    out.Int(rec.width);
    out.Int(rec.height);
    out.Int(rec.visibility);
    out.Int(rec.hiddenImage);
    CBarArchiveWriter own;
    if (rec.control) rec.control->Store(own);
    out.Int(static_cast<std::int32_t>(own.bytes().size()));
    for (std::uint8_t b : own.bytes()) out.Byte(b);
  }
  return out.bytes();
}

bool CCoolToolBar::SaveBarState(const std::string& section, const std::string& value,
                                bool properties) {
  fw::CProfile& profile = fw::AppProfile();
  const bool customizable = IsCustomizable(true) || IsCustomizable(false);
  // Every write is checked: a settings file that cannot be written must not
  // look saved.
  bool written = true;
  auto writeInt = [&](const std::string& s, const char* key, long long v) {
    written = profile.WriteProfileInt(s, key, v) && written;
  };
  auto writeBlob = [&](const std::string& name, const std::vector<std::uint8_t>& blob) {
    written = profile.WriteProfileBinary(section, name, blob) && written;
    written =
        profile.WriteProfileInt(section, SizeName(name), static_cast<long long>(blob.size())) &&
        written;
  };
  if (customizable) {
    if (profile.path().empty()) return false;
    writeBlob(value + "_ButtonsSettings", ButtonsBlob());
    writeBlob(value + "_CustomButtonsPositions", PositionsBlob());
    TBSAVEPARAMS params{section, value};
    written = SendMessage(TB_SAVERESTORE, 1, reinterpret_cast<LPARAM>(&params)) != 0 && written;
  }
  // The table of custom buttons is written every time, so it always matches
  // the positions saved with it.
  writeBlob(kTableValue, TableBlob());
  if (properties) {
    const std::string s = section + "_" + value;
    const std::uint32_t style = GetStyle();
    writeInt(s, "Cool", m_bCool ? 1 : 0);
    writeInt(s, "Gripper", m_bGripper ? 1 : 0);
    writeInt(s, "Separator", m_bSeparator ? 1 : 0);
    writeInt(s, "Flat", (style & TBSTYLE_FLAT) ? 1 : 0);
    writeInt(s, "List", (style & TBSTYLE_LIST) ? 1 : 0);
    writeInt(s, "DropDownArrow", GetDropDownArrow() ? 1 : 0);
    writeInt(s, "Indent", m_nIndent);
    writeInt(s, "DefaultTextColor", static_cast<long long>(m_crDefaultText));
    writeInt(s, "HotTextColor", static_cast<long long>(m_crHotText));
    writeInt(s, "TextType", m_nTextType);
    writeInt(s, "TextRows", GetTextRows());
    writeInt(s, "MinButtonsWidth", m_nMinButtonsWidth);
    writeInt(s, "MaxButtonsWidth", m_nMaxButtonsWidth);
    // 1 for the bar's own customisation, 2 for the control's (standard) one.
    writeInt(s, "Customizable",
             IsCustomizable(true)    ? kCustomizableAdvanced
             : IsCustomizable(false) ? kCustomizableStandard
                                     : kNotCustomizable);
  }
  return written;
}

bool CCoolToolBar::LoadBarState(const std::string& section, const std::string& value,
                                bool properties, std::string* error) {
  fw::CProfile& profile = fw::AppProfile();
  auto fail = [&](const std::string& name) {
    if (error)
      *error += "The saved toolbar settings \"" + section + "\\" + name +
                "\" cannot be read; the toolbar is left as it was.\n";
    return false;
  };

  // Everything is read and checked before anything changes.
  std::vector<std::uint8_t> tableBlob, buttonsBlob, positionsBlob, stateBlob;
  std::vector<fw::CoolBarTableEntry> table;
  std::vector<fw::CoolBarButtonSetting> buttons;
  std::vector<std::pair<int, UINT>> positions;
  std::vector<TBBUTTON> state;
  const BlobState tableState = ReadBlob(profile, section, kTableValue, &tableBlob);
  if (tableState == BlobState::Bad ||
      (tableState == BlobState::Present && !fw::ParseCoolBarTable(tableBlob, &table)))
    return fail(kTableValue);

  const std::string s = section + "_" + value;
  int customizable = -1;
  if (properties) customizable = profile.GetProfileInt(s, "Customizable", -1);
  auto willBeCustomizable = [&] {
    if (customizable == kCustomizableAdvanced || customizable == kCustomizableStandard)
      return !m_customizeCommands.empty();
    if (customizable == kNotCustomizable) return false;
    return IsCustomizable(true) || IsCustomizable(false);
  };
  const bool customizableBar = willBeCustomizable();
  BlobState buttonsState = BlobState::Absent, positionsState = BlobState::Absent;
  bool haveState = false;
  if (customizableBar && !profile.path().empty()) {
    const std::string buttonsName = value + "_ButtonsSettings";
    const std::string positionsName = value + "_CustomButtonsPositions";
    buttonsState = ReadBlob(profile, section, buttonsName, &buttonsBlob);
    if (buttonsState == BlobState::Bad ||
        (buttonsState == BlobState::Present && !fw::ParseCoolBarButtons(buttonsBlob, &buttons)))
      return fail(buttonsName);
    positionsState = ReadBlob(profile, section, positionsName, &positionsBlob);
    if (positionsState == BlobState::Bad || (positionsState == BlobState::Present &&
                                             !fw::ParseCoolBarPositions(positionsBlob, &positions)))
      return fail(positionsName);
    haveState = profile.GetProfileBinary(section, value, stateBlob);
    if (haveState && !fw::ParseToolBarButtons(stateBlob, &state)) return fail(value);
    // The saved order may only rearrange the bar's own commands (those on it
    // and those customisation offers), never bring in others.
    for (const TBBUTTON& b : state) {
      const UINT command = static_cast<UINT>(b.idCommand);
      const bool own = (b.fsStyle & TBSTYLE_SEP)
                           ? command == 0
                           : CommandToIndex(command) >= 0 ||
                                 std::find(m_customizeCommands.begin(), m_customizeCommands.end(),
                                           command) != m_customizeCommands.end();
      if (!own) return fail(value);
    }
    // Every custom button must be one the program knows, standing where the
    // restored bar (plus the buttons inserted before it) has room.
    const int restored = haveState ? static_cast<int>(state.size())
                                   : GetCount() - static_cast<int>(m_customButtons.size());
    std::set<UINT> known(CustomButtonIds().begin(), CustomButtonIds().end());
    for (const auto& e : table) known.insert(e.id);
    for (std::size_t k = 0; k < positions.size(); ++k) {
      if (!known.count(positions[k].second) || positions[k].first > restored + static_cast<int>(k))
        return fail(positionsName);
    }
  }

  // 1, 2: the appearance.
  bool relayout = false;
  if (properties) {
    if (customizable == kCustomizableAdvanced)
      SetCustomizable(true, true);
    else if (customizable == kCustomizableStandard)
      SetCustomizable(true, false);
    else if (customizable == kNotCustomizable)
      SetCustomizable(false, false);
    auto read = [&](const char* key) { return profile.GetProfileInt(s, key, -1); };
    if (int v = read("Cool"); v != -1) m_bCool = v != 0;
    if (int v = read("Gripper"); v != -1) m_bGripper = v != 0;
    if (int v = read("Separator"); v != -1) m_bSeparator = v != 0;
    // A profile anyone may edit: every value is held to what the bar and its
    // control can show; one that cannot be a setting at all is left alone.
    auto colour = [](int v) { return v >= 0 && v <= 0xFFFFFF; };
    auto width = [](int v) { return std::clamp(v, 0, kToolBarMaxButtonWidth); };
    if (int v = read("DefaultTextColor"); colour(v)) m_crDefaultText = static_cast<COLORREF>(v);
    if (int v = read("HotTextColor"); colour(v)) m_crHotText = static_cast<COLORREF>(v);
    if (int v = read("Flat"); v != -1) ModifyStyle(v ? 0 : TBSTYLE_FLAT, v ? TBSTYLE_FLAT : 0);
    if (int v = read("List"); v != -1) {
      ModifyStyle(v ? 0 : TBSTYLE_LIST, v ? TBSTYLE_LIST : 0);
      relayout = true;
    }
    if (int v = read("DropDownArrow"); v != -1) SetDropDownArrow(v != 0);
    if (int v = read("Indent"); v != -1) {
      v = std::clamp(v, 0, kToolBarMaxIndent);
      if (SendMessage(TB_SETINDENT, static_cast<WPARAM>(v))) m_nIndent = v;
    }
    if (int v = read("TextType"); v >= 0 && v <= 4 && v != m_nTextType) {
      if (v == 3) SetButtonTextsFromCommands(0, 0xFFFF, 4);
      SetButtonTextsFromCommands(0, 0xFFFF, v);
      relayout = true;
    }
    if (int v = read("TextRows"); v != -1) {
      v = std::clamp(v, 0, kToolBarMaxTextRows);
      if (v != GetTextRows()) {
        SendMessage(TB_SETMAXTEXTROWS, static_cast<WPARAM>(v));
        relayout = true;
      }
    }
    if (int v = read("MinButtonsWidth"); v != -1 && width(v) != m_nMinButtonsWidth) {
      m_nMinButtonsWidth = width(v);
      SendMessage(TB_SETBUTTONWIDTH, 0,
                  MAKELPARAM(m_nMinButtonsWidth, std::max(m_nMaxButtonsWidth, 0)));
    }
    if (int v = read("MaxButtonsWidth"); v != -1 && width(v) != m_nMaxButtonsWidth) {
      m_nMaxButtonsWidth = width(v);
      SendMessage(TB_SETBUTTONWIDTH, 0,
                  MAKELPARAM(std::max(m_nMinButtonsWidth, 0), m_nMaxButtonsWidth));
      relayout = true;
    }
  }

  // 3: the custom-button table (for every entry whose holder the program knows).
  for (const auto& e : table) {
    CCoolCustomButton rec =
        CustomButtonTable().count(e.id) ? CustomButtonTable()[e.id] : CCoolCustomButton();
    if (!rec.control) continue;
    rec.id = e.id;
    rec.width = e.width;
    rec.height = e.height;
    rec.visibility = e.visibility;
    rec.hiddenImage = e.hiddenImage;
    CBarArchiveReader own(e.controlData);
    if (!rec.control->Load(own) && error)
      *error += "The saved settings of a toolbar window could not be read.\n";
    CustomButtonTable()[e.id] = rec;
    if (std::find(CustomButtonIds().begin(), CustomButtonIds().end(), e.id) ==
        CustomButtonIds().end())
      AddCustomButtonType(e.id, rec.control, rec.width, rec.height, rec.visibility,
                          rec.hiddenImage);
  }

  // 4: buttons, texts and custom buttons.
  if (IsCustomizable(true) || IsCustomizable(false)) {
    if (profile.path().empty()) return false;
    std::map<UINT, CCoolCustomButton> takenOff;
    // Restoring the control's state replaces every button, so the custom
    // buttons come off first; without saved positions they go back where they stood.
    if (positionsState != BlobState::Present && haveState)
      for (const auto& [index, rec] : m_customButtons) positions.emplace_back(index, rec.id);
    if (positionsState == BlobState::Present || haveState) {
      for (auto it = m_customButtons.rbegin(); it != m_customButtons.rend();) {
        const int index = it->first;
        CCoolCustomButton rec = it->second;
        if (rec.control && rec.control->IsTemporary()) rec.control.reset();
        takenOff[rec.id] = rec;
        m_customButtons.erase(index);
        m_bInternalUpdate = true;
        DeleteButton(index);
        m_bInternalUpdate = false;
        it = m_customButtons.rbegin();
      }
    }
    m_bInternalUpdate = true;
    if (haveState) {
      TBSAVEPARAMS params{section, value};
      SendMessage(TB_SAVERESTORE, 0, reinterpret_cast<LPARAM>(&params));
    }
    std::set<UINT> described;
    for (const auto& setting : buttons) {
      if (setting.style & TBSTYLE_SEP) continue;
      const int index = CommandToIndex(static_cast<UINT>(setting.command));
      if (index < 0) continue;
      described.insert(static_cast<UINT>(setting.command));
      SetButtonInfo(index, static_cast<UINT>(setting.command), setting.style, setting.image);
      if (setting.hasText) {
        SetButtonText(index, setting.text);
      } else {
        // Shown without text when saved so; the text is kept for later.
        SetButtonText(index, "");
        if (!setting.text.empty()) m_hiddenTexts[static_cast<UINT>(setting.command)] = setting.text;
      }
    }
    for (const auto& [index, id] : positions) {
      auto taken = takenOff.find(id);
      if (taken != takenOff.end() && LiveWindow(taken->second)) {
        TBBUTTON sep;
        sep.iBitmap = -1;
        sep.fsStyle = TBSTYLE_SEP;
        if (InsertButton(index, &sep)) {
          CCoolCustomButton rec =
              CustomButtonTable().count(id) ? CustomButtonTable()[id] : taken->second;
          rec.control = taken->second.control;
          m_customButtons[index] = rec;
          takenOff.erase(taken);
        }
        continue;
      }
      const auto& ids = CustomButtonIds();
      const auto at = std::find(ids.begin(), ids.end(), id);
      m_bInternalUpdate = false;
      InsertCustomButton(index, static_cast<int>(at - ids.begin()), WS_CHILD | WS_VISIBLE, 0,
                         "fw_coolbar_control", "");
      m_bInternalUpdate = true;
    }
    // Windows of custom buttons that did not come back go now.
    for (auto& [id, rec] : takenOff)
      if (LiveWindow(rec)) rec.control->Destroy();
    // Buttons the saved settings did not describe take the current text type.
    if (m_nTextType != 3) {
      for (int i = 0; i < GetCount(); ++i) {
        TBBUTTON b;
        if (!GetButton(i, &b) || (b.fsStyle & TBSTYLE_SEP) ||
            described.count(static_cast<UINT>(b.idCommand)) || m_customButtons.count(i))
          continue;
        SetButtonText(i, CommandText(static_cast<UINT>(b.idCommand), m_nTextType));
      }
    }
  }

  // 5: layout.
  m_bInternalUpdate = false;
  if (relayout) {
    if (GetTextRows() > 0)
      SetSizes(GetButtonSize(), GetImageSize());
    else
      SetSizes(CSize(GetImageSize().cx + 8, GetImageSize().cy + 6), GetImageSize());
    SendMessage(TB_AUTOSIZE);
    RecalcLayout(true, false);
  } else {
    PositionCustomButtons();
  }
  return true;
}
