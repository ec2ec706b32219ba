// The menus, accelerators and toolbars both programs ship, in all three languages.
#include <gtest/gtest.h>

#include <set>

#include "platform/dynlib.h"
#include "platform/language.h"
#include "platform/resourcebundle.h"
#include "shell/commandids.h"

using namespace fw;

namespace {

const CResourceBundle* Bundle(int i) {
  static const LanguageLibraryNames names = {"libfenwardle_eng.so", "libfenwardle_de.so",
                                             "libfenwardle_fra.so"};
  static const char* langs[] = {"english", "german", "french"};
  LanguageLoad l = LoadLanguageLibrary(langs[i], names, ProgramFolder());
  return l.bundle;
}

void Commands(const std::vector<CMenuTemplateItem>& items, std::vector<unsigned>* out) {
  for (const auto& item : items) {
    if (item.popup)
      Commands(item.children, out);
    else if (!item.separator)
      out->push_back(item.id);
  }
}

std::set<unsigned> MenuCommands(const CResourceBundle& b, unsigned id) {
  std::vector<unsigned> ids;
  if (const CMenuTemplate* m = b.FindMenu(id)) Commands(m->items, &ids);
  return {ids.begin(), ids.end()};
}

// The structure of a menu without its texts: ids, pop-ups, separators, states.
std::string Shape(const std::vector<CMenuTemplateItem>& items) {
  std::string s;
  for (const auto& item : items) {
    if (item.separator) {
      s += "-,";
    } else if (item.popup) {
      s += "(" + Shape(item.children) + "),";
    } else {
      s += std::to_string(item.id) + (item.grayed ? "g" : "") + (item.checked ? "c" : "") + ",";
    }
  }
  return s;
}

TEST(MainWindowResources, EveryToolbarAndKeyCommandIsReachableFromItsMenu) {
  const CResourceBundle* eng = Bundle(0);
  ASSERT_NE(eng, nullptr);
  for (unsigned frame : {IDR_MAINFRAME, IDR_MONITORFRAME}) {
    SCOPED_TRACE(frame);
    const std::set<unsigned> menu = MenuCommands(*eng, frame);
    ASSERT_FALSE(menu.empty());
    const CToolBarTemplate* bar = eng->FindToolBar(frame);
    ASSERT_NE(bar, nullptr);
    for (unsigned id : bar->items) {
      if (id) {
        EXPECT_TRUE(menu.count(id)) << "toolbar command " << id;
      }
    }
    const CAcceleratorTemplate* keys = eng->FindAccelerators(frame);
    ASSERT_NE(keys, nullptr);
    for (const CAccelEntry& e : keys->entries) {
      if (e.command != ID_HELP && e.command != ID_CONTEXT_HELP) {
        EXPECT_TRUE(menu.count(e.command)) << "key command " << e.command;
      }
    }
    // Each button has a label and a tip.
    for (unsigned id : bar->items) {
      if (!id) continue;
      const std::string* text = eng->FindString(id);
      ASSERT_NE(text, nullptr) << id;
      EXPECT_NE(text->find('\n'), std::string::npos) << id;
    }
  }
  // The menu images and the context menus name commands of the main menu.
  const std::set<unsigned> main = MenuCommands(*eng, IDR_MAINFRAME);
  for (unsigned id : eng->FindToolBar(IDR_MENU_IMAGES)->items) EXPECT_TRUE(main.count(id)) << id;
  for (unsigned menu : {IDR_CONTEXT_SWITCHES, IDR_CONTEXT_CONFIGS})
    for (unsigned id : MenuCommands(*eng, menu)) EXPECT_TRUE(main.count(id)) << id;
  // Keys users expect.
  auto key = [&](unsigned frame, unsigned command, std::uint16_t vk, std::uint8_t flags) {
    for (const CAccelEntry& e : eng->FindAccelerators(frame)->entries)
      if (e.command == command && e.key == vk && e.flags == flags) return true;
    return false;
  };
  const std::uint8_t ctrl = CAccelEntry::kVirtKey | CAccelEntry::kControl;
  EXPECT_TRUE(key(IDR_MAINFRAME, ID_FILE_NEW, 'N', ctrl));
  EXPECT_TRUE(key(IDR_MAINFRAME, ID_FILE_OPEN, 'O', ctrl));
  EXPECT_TRUE(key(IDR_MAINFRAME, ID_FILE_SAVE, 'S', ctrl));
  EXPECT_TRUE(key(IDR_MAINFRAME, ID_EDIT_COPY, 'C', ctrl));
  EXPECT_TRUE(key(IDR_MAINFRAME, ID_EDIT_PASTE, 'V', ctrl));
  EXPECT_TRUE(key(IDR_MAINFRAME, ID_HELP, 0x70, CAccelEntry::kVirtKey));
  EXPECT_TRUE(key(IDR_MONITORFRAME, ID_FILE_PRINT, 'P', ctrl));
  EXPECT_TRUE(key(IDR_MONITORFRAME, ID_HELP, 0x70, CAccelEntry::kVirtKey));
}

TEST(MainWindowResources, TheOptionalOperationsItemsStandWhereTheFrameLooks) {
  const CResourceBundle* eng = Bundle(0);
  ASSERT_NE(eng, nullptr);
  const CMenuTemplate* menu = eng->FindMenu(IDR_MAINFRAME);
  ASSERT_GE(menu->items.size(), 4u);
  const auto& operations = menu->items[3].children;  // the fourth top-level menu
  ASSERT_GT(operations.size(), 5u);
  EXPECT_EQ(operations[4].id, ID_DEBUG_EEROM);
  ASSERT_TRUE(operations[5].popup);  // "Advanced"
  std::vector<unsigned> advanced;
  Commands(operations[5].children, &advanced);
  EXPECT_EQ(advanced.size(), 3u);
  EXPECT_NE(std::find(advanced.begin(), advanced.end(), ID_UPDATE_MANAGED_FIRMWARE),
            advanced.end());
}

TEST(MainWindowResources, TheThreeLanguagesShareMenusKeysAndToolbars) {
  const CResourceBundle* b[3] = {Bundle(0), Bundle(1), Bundle(2)};
  for (const auto* x : b) ASSERT_NE(x, nullptr);
  for (int i = 1; i < 3; ++i) {
    ASSERT_EQ(b[i]->menus().size(), b[0]->menus().size());
    for (const auto& [id, eng] : b[0]->menus()) {
      const CMenuTemplate* other = b[i]->FindMenu(id);
      ASSERT_NE(other, nullptr) << "menu " << id;
      EXPECT_EQ(Shape(other->items), Shape(eng.items)) << "menu " << id << " language " << i;
    }
    for (const auto& [id, eng] : b[0]->accelerators()) {
      const CAcceleratorTemplate* other = b[i]->FindAccelerators(id);
      ASSERT_NE(other, nullptr);
      ASSERT_EQ(other->entries.size(), eng.entries.size());
      for (std::size_t k = 0; k < eng.entries.size(); ++k) {
        EXPECT_EQ(other->entries[k].command, eng.entries[k].command);
        EXPECT_EQ(other->entries[k].key, eng.entries[k].key);
        EXPECT_EQ(other->entries[k].flags, eng.entries[k].flags);
      }
    }
    for (const auto& [id, eng] : b[0]->toolbars()) {
      const CToolBarTemplate* other = b[i]->FindToolBar(id);
      ASSERT_NE(other, nullptr);
      EXPECT_EQ(other->items, eng.items);
    }
  }
}

}  // namespace
