#include <gtest/gtest.h>

#include "platform/resourcebundle.h"

using namespace fw;

namespace {

TEST(MenuScript, ReadsPopupsItemsOptionsAndSeparators) {
  std::string error;
  auto b = CResourceBundle::Parse(R"(
128 MENU
BEGIN
    POPUP "&File"
    BEGIN
        MENUITEM "&New\tCtrl+N",   57600
        MENUITEM SEPARATOR
        MENUITEM "Auto-&Open",     32778, CHECKED
        MENUITEM "Gone",           32779, GRAYED INACTIVE
        POPUP "&Advanced", GRAYED
        BEGIN
            POPUP "Deeper"
            BEGIN
                MENUITEM "Leaf", 1
            END
        END
    END
    MENUITEM "&Help", IDHELP, HELP, MENUBARBREAK
END
129 MENU BEGIN END
)",
                                  &error);
  ASSERT_TRUE(b) << error;
  const CMenuTemplate* m = b->FindMenu(128);
  ASSERT_NE(m, nullptr);
  ASSERT_EQ(m->items.size(), 2u);
  const CMenuTemplateItem& file = m->items[0];
  EXPECT_TRUE(file.popup);
  EXPECT_EQ(file.text, "&File");
  ASSERT_EQ(file.children.size(), 5u);
  EXPECT_EQ(file.children[0].text, "&New\tCtrl+N");
  EXPECT_EQ(file.children[0].id, 57600u);
  EXPECT_TRUE(file.children[1].separator);
  EXPECT_TRUE(file.children[2].checked);
  EXPECT_FALSE(file.children[2].grayed);
  EXPECT_TRUE(file.children[3].grayed);
  EXPECT_TRUE(file.children[3].inactive);
  EXPECT_TRUE(file.children[4].popup);
  EXPECT_TRUE(file.children[4].grayed);
  ASSERT_EQ(file.children[4].children.size(), 1u);
  EXPECT_EQ(file.children[4].children[0].children.at(0).text, "Leaf");
  EXPECT_EQ(m->items[1].id, 9u);
  EXPECT_TRUE(m->items[1].help);
  EXPECT_TRUE(m->items[1].menuBarBreak);
  ASSERT_NE(b->FindMenu(129), nullptr);
  EXPECT_TRUE(b->FindMenu(129)->items.empty());
  EXPECT_EQ(b->FindMenu(130), nullptr);
}

TEST(MenuScript, ReadsAcceleratorsAndToolbars) {
  std::string error;
  auto b = CResourceBundle::Parse(R"(
128 ACCELERATORS
BEGIN
    "N",    57600, VIRTKEY, CONTROL, NOINVERT
    "c",    57634, VIRTKEY, CONTROL
    "^V",   57637
    VK_F1,  57670, VIRTKEY
    VK_F1,  57669, VIRTKEY, SHIFT
    "?",    57664, ASCII
    0x2E,   32779, VIRTKEY
END
128 TOOLBAR 16, 16
BEGIN
    BUTTON 57600
    SEPARATOR
    BUTTON 0xE101
END
)",
                                  &error);
  ASSERT_TRUE(b) << error;
  const CAcceleratorTemplate* a = b->FindAccelerators(128);
  ASSERT_NE(a, nullptr);
  ASSERT_EQ(a->entries.size(), 7u);
  const auto virtCtrl = CAccelEntry::kVirtKey | CAccelEntry::kControl;
  EXPECT_EQ(a->entries[0].key, 'N');
  EXPECT_EQ(a->entries[0].flags, virtCtrl);
  EXPECT_EQ(a->entries[0].command, 57600);
  EXPECT_EQ(a->entries[1].key, 'C');  // a virtual key is the upper-case letter
  EXPECT_EQ(a->entries[2].key, 'V');  // "^V" is Ctrl+V
  EXPECT_EQ(a->entries[2].flags, virtCtrl);
  EXPECT_EQ(a->entries[3].key, 0x70);
  EXPECT_EQ(a->entries[4].flags, CAccelEntry::kVirtKey | CAccelEntry::kShift);
  EXPECT_EQ(a->entries[5].key, '?');
  EXPECT_EQ(a->entries[5].flags, 0);
  EXPECT_EQ(a->entries[6].key, 0x2E);

  const CToolBarTemplate* t = b->FindToolBar(128);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->width, 16);
  EXPECT_EQ(t->height, 16);
  EXPECT_EQ(t->items, (std::vector<unsigned>{57600, 0, 57601}));
}

TEST(MenuScript, RejectsBadInputNamingTheLine) {
  struct Case {
    const char* script;
    const char* want;
  } cases[] = {
      {"1 MENU\nBEGIN\n MENUITEM \"a\", 5, BOLD\nEND", "line 3: unknown menu item option 'BOLD'"},
      {"1 MENU\nBEGIN\n POPUP \"a\"\n BEGIN\n MENUITEM \"b\", 2\nEND", "END expected"},
      {"1 MENU\nBEGIN\n MENUITEM \"a\"\nEND", "line 4: ',' expected"},
      {"1 MENU\nBEGIN\n MENUITEM \"a\", 70000\nEND", "line 3: command id out of range"},
      {"1 MENU\nBEGIN\n MENUITEM BREAK\nEND", "line 3: quoted text or SEPARATOR expected"},
      {"1 MENU\nBEGIN\n ITEM \"a\", 1\nEND", "line 3: MENUITEM or POPUP expected, found 'ITEM'"},
      {"1 MENU BEGIN END\n1 MENU BEGIN END", "line 2: menu 1 defined twice"},
      {"1 ACCELERATORS\nBEGIN\n \"ab\", 5\nEND",
       "line 3: accelerator key \"ab\" is not one character"},
      {"1 ACCELERATORS\nBEGIN\n \"a\", 5, CONTROL\nEND",
       "line 3: CONTROL, SHIFT and ALT need VIRTKEY"},
      {"1 ACCELERATORS\nBEGIN\n VK_NOPE, 5\nEND", "line 3: unknown key 'VK_NOPE'"},
      {"1 ACCELERATORS\nBEGIN\n \"a\", 5, VIRTKEY, ASCII\nEND", "VIRTKEY and ASCII together"},
      {"1 TOOLBAR 16\nBEGIN END", "line 2: ',' expected"},
      {"1 TOOLBAR 16, 16\nBEGIN\n BUTTON 0\nEND", "line 3: command id out of range"},
      {"1 TOOLBAR 16, 16\nBEGIN\n KNOB 4\nEND",
       "line 3: BUTTON or SEPARATOR expected, found 'KNOB'"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_EQ(CResourceBundle::Parse(c.script, &error), nullptr) << c.script;
    EXPECT_NE(error.find(c.want), std::string::npos) << c.script << " -> " << error;
  }
  // Pop-ups cannot nest without end.
  std::string deep = "1 MENU BEGIN ";
  for (int i = 0; i < 40; ++i) deep += "POPUP \"p\" BEGIN ";
  std::string error;
  EXPECT_EQ(CResourceBundle::Parse(deep, &error), nullptr);
  EXPECT_NE(error.find("nested too deeply"), std::string::npos) << error;
}

}  // namespace
