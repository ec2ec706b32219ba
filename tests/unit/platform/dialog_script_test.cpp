#include <gtest/gtest.h>

#include "platform/dynlib.h"
#include "platform/language.h"
#include "platform/message.h"
#include "platform/resourcebundle.h"
#include "platform/styles.h"

using namespace fw;

namespace {

TEST(DialogScript, ParsesHeaderOptionsAndControls) {
  std::string error;
  auto b = CResourceBundle::Parse(R"(
STRINGTABLE BEGIN 1, "one" END
/* a dialog between string tables */
200 DIALOGEX 10, 20, 186, 62, 0
STYLE DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU
EXSTYLE WS_EX_TOOLWINDOW
CAPTION "Cycle \"Power\""
FONT 9, "Arial", 700, 1, 0
BEGIN
    CTEXT           "", 1027, 7, 7, 172, 26, SS_CENTERIMAGE | NOT WS_GROUP
    PUSHBUTTON      "Cancel", IDCANCEL, 68, 41, 50, 14, NOT WS_TABSTOP
    CONTROL         "", 1026, "MSCTLS_PROGRESS32", PBS_SMOOTH | 0x800000, 7, 22, 263, 14, WS_EX_STATICEDGE
    EDITTEXT        1000, 1, 2, 3, 4
    ICON            "", IDC_STATIC, 5, 6
    LTEXT           "x", IDC_STATIC, 0, 0, 1, 1
END
STRINGTABLE BEGIN 2, "two" END
)",
                                  &error);
  ASSERT_TRUE(b) << error;
  EXPECT_EQ(*b->FindString(2), "two");
  const CDialogTemplate* d = b->FindDialog(200);
  ASSERT_NE(d, nullptr);
  EXPECT_TRUE(d->extended);
  EXPECT_EQ(d->x, 10);
  EXPECT_EQ(d->cx, 186);
  EXPECT_EQ(d->style,
            std::uint32_t(DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT));
  EXPECT_EQ(d->exStyle, std::uint32_t(WS_EX_TOOLWINDOW));
  EXPECT_EQ(d->caption, "Cycle \"Power\"");
  EXPECT_EQ(d->fontPoints, 9);
  EXPECT_EQ(d->fontFace, "Arial");
  EXPECT_EQ(d->fontWeight, 700);
  EXPECT_TRUE(d->fontItalic);
  ASSERT_EQ(d->items.size(), 6u);

  const CDialogItem& text = d->items[0];
  EXPECT_EQ(text.className, "Static");
  EXPECT_EQ(text.style, std::uint32_t(WS_CHILD | WS_VISIBLE | SS_CENTER |
                                      SS_CENTERIMAGE));  // NOT removed the default group
  const CDialogItem& cancel = d->items[1];
  EXPECT_EQ(cancel.id, IDCANCEL);
  EXPECT_EQ(cancel.style & WS_TABSTOP, 0u);
  EXPECT_EQ(cancel.className, "Button");
  const CDialogItem& bar = d->items[2];
  EXPECT_EQ(bar.className, "msctls_progress32");  // class names fold to one spelling
  EXPECT_EQ(bar.style, std::uint32_t(WS_CHILD | WS_VISIBLE | PBS_SMOOTH | WS_BORDER));
  EXPECT_EQ(bar.exStyle, std::uint32_t(WS_EX_STATICEDGE));
  EXPECT_EQ(bar.cx, 263);
  EXPECT_EQ(d->items[3].style,
            std::uint32_t(WS_CHILD | WS_VISIBLE | ES_LEFT | WS_BORDER | WS_TABSTOP));
  EXPECT_EQ(d->items[4].id, IDC_STATIC);
  EXPECT_EQ(d->items[4].cx, 0);
  EXPECT_EQ(d->FindItem(1026), &bar);
  EXPECT_EQ(d->FindItem(4711), nullptr);
}

TEST(DialogScript, RejectsBadInputNamingTheLine) {
  struct Case {
    const char* script;
    const char* message;
  } cases[] = {
      {"1 DIALOG 0, 0, 10, 10\nSTYLE WS_BOGUS\nBEGIN\nEND", "line 2: unknown symbol 'WS_BOGUS'"},
      {"1 DIALOG 0, 0, 10\nBEGIN\nEND", "line 2: ',' expected"},
      {"1 DIALOG 0, 0, 10, 10\nBEGIN\nLTEXT \"a\" 5, 0, 0, 1, 1\nEND", "line 3: ',' expected"},
      {"1 DIALOG 0, 0, 10, 10\nBEGIN\nLTEXT \"a\", 5, 0, 0, 1, 1\nLTEXT \"b\", 5, 0, 0, 1, 1\nEND",
       "line 4: control id 5 used twice in dialog 1"},
      {"1 DIALOG 0, 0, 10, 10\nBEGIN\nEND\n1 DIALOG 0, 0, 10, 10\nBEGIN\nEND",
       "line 6: dialog 1 defined twice"},
      {"1 DIALOG 0, 0, 99999, 10\nBEGIN\nEND", "line 1: width out of range"},
      {"1 DIALOG 0, 0, 10, -5\nBEGIN\nEND", "line 1: height out of range"},
      {"1 DIALOG 0, 0, 10, 10\nBEGIN\nSLIDER \"a\", 5, 0, 0, 1, 1\nEND",
       "line 3: unknown control statement 'SLIDER'"},
      {"1 DIALOG 0, 0, 10, 10\nBEGIN\nLTEXT \"a\", 5, 0, 0, 1, 1\n", "line 4: END expected"},
      {"1 DIALOG 0, 0, 10, 10\nMENU 5\nBEGIN\nEND", "line 2: unknown dialog statement 'MENU'"},
      {"1 DIALOG 0, 0, 10, 10\nFONT 8, \"\"\nBEGIN\nEND", "line 2: font face expected"},
      {"1 DIALOG 0, 0, 10, 10\nCAPTION \"open\nBEGIN\nEND", "line 2: unterminated string"},
      {"70000 DIALOG 0, 0, 10, 10\nBEGIN\nEND", "line 1: resource id (0..65535) expected"},
      {"1 RCDATA\nBEGIN\nEND", "line 1: resource type expected after id, found 'RCDATA'"},
      {"1 DIALOG 0, 0, 10, 10\nBEGIN\nCONTROL \"\", 3, 5, 0, 0, 0, 1, 1\nEND",
       "line 3: control class expected"},
      {"1 DIALOG 0, 0, 10, 10\nBEGIN\nLTEXT \"a\", 5, 0, 0, 1, 1, NOT\nEND",
       "line 4: unknown symbol 'END'"},
      {"1 DIALOG 0, 0, 10, 10\nBEGIN\nEDITTEXT 70000, 0, 0, 1, 1\nEND",
       "line 3: control id out of range"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_EQ(CResourceBundle::Parse(c.script, &error), nullptr) << c.script;
    EXPECT_EQ(error, c.message) << c.script;
  }
}

TEST(DialogScript, SymbolsCoverStylesAndCommandIds) {
  long long v = 0;
  ASSERT_TRUE(LookupResourceSymbol("IDCANCEL", &v));
  EXPECT_EQ(v, IDCANCEL);
  ASSERT_TRUE(LookupResourceSymbol("WS_POPUP", &v));
  EXPECT_EQ(v, 0x80000000LL);
  ASSERT_TRUE(LookupResourceSymbol("IDC_STATIC", &v));
  EXPECT_EQ(v, -1);
  EXPECT_FALSE(LookupResourceSymbol("ws_popup", &v));  // symbols are case-sensitive, as in C
}

TEST(DialogScript, LanguageLibrariesCarryTheSameDialogs) {
  static const LanguageLibraryNames names = {"libfenwardle_eng.so", "libfenwardle_de.so",
                                             "libfenwardle_fra.so"};
  const CResourceBundle* b[3];
  static const char* langs[] = {"english", "german", "french"};
  for (int i = 0; i < 3; ++i) {
    LanguageLoad l = LoadLanguageLibrary(langs[i], names, ProgramFolder());
    ASSERT_TRUE(l.bundle) << langs[i] << ": " << l.detail;
    b[i] = l.bundle;
  }
  for (unsigned id : {136u, 140u}) ASSERT_NE(b[0]->FindDialog(id), nullptr) << id;
  EXPECT_EQ(b[0]->FindDialog(136)->caption, "Cycle Power");
  EXPECT_EQ(b[0]->FindDialog(140)->caption, "");
  EXPECT_NE(b[0]->FindDialog(140)->FindItem(1026), nullptr);
  for (int i = 1; i < 3; ++i) {
    ASSERT_EQ(b[i]->dialogs().size(), b[0]->dialogs().size()) << langs[i];
    for (const auto& [id, eng] : b[0]->dialogs()) {
      const CDialogTemplate* t = b[i]->FindDialog(id);
      ASSERT_NE(t, nullptr) << "dialog " << id << " missing in " << langs[i];
      EXPECT_EQ(t->cx, eng.cx);
      EXPECT_EQ(t->cy, eng.cy);
      EXPECT_EQ(t->style, eng.style);
      EXPECT_EQ(t->caption.empty(), eng.caption.empty());
      ASSERT_EQ(t->items.size(), eng.items.size()) << "dialog " << id;
      for (std::size_t k = 0; k < eng.items.size(); ++k) {
        EXPECT_EQ(t->items[k].id, eng.items[k].id);
        EXPECT_EQ(t->items[k].className, eng.items[k].className);
        EXPECT_EQ(t->items[k].style, eng.items[k].style);
      }
    }
  }
  EXPECT_EQ(EmbeddedEnglish().FindDialog(136)->caption, "Cycle Power");
}

}  // namespace

namespace {

TEST(ImageScript, NamesPicturesByKindAndId) {
  std::string error;
  auto b = CResourceBundle::Parse(
      "5 ICON \"app.png\"\n5 BITMAP \"strip.png\"\n7 CURSOR \"hand.png\", 3, 4\n"
      "8 CURSOR \"arrow.png\"\n",
      &error);
  ASSERT_TRUE(b) << error;
  EXPECT_EQ(b->FindImage(ImageKind::Icon, 5)->file, "app.png");
  EXPECT_EQ(b->FindImage(ImageKind::Bitmap, 5)->file, "strip.png");
  EXPECT_EQ(b->FindImage(ImageKind::Cursor, 7)->hotX, 3);
  EXPECT_EQ(b->FindImage(ImageKind::Cursor, 7)->hotY, 4);
  EXPECT_EQ(b->FindImage(ImageKind::Cursor, 8)->hotX, -1);
  EXPECT_EQ(b->FindImage(ImageKind::Icon, 7), nullptr);

  const struct {
    const char* script;
    const char* want;
  } bad[] = {
      {"5 ICON app.png", "line 1: image file name expected"},
      {"5 ICON \"../etc/x.png\"", "without a folder"},
      {"5 ICON \"a.png\"\n5 ICON \"b.png\"", "line 2: image 5 defined twice"},
      {"7 CURSOR \"h.png\", 3", "',' expected"},
      {"7 CURSOR \"h.png\", 3, 300", "hot spot coordinate"},
  };
  for (const auto& c : bad) {
    EXPECT_EQ(CResourceBundle::Parse(c.script, &error), nullptr) << c.script;
    EXPECT_NE(error.find(c.want), std::string::npos) << error;
  }
}

}  // namespace
