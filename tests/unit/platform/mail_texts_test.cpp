// What a user is told when no mail can be sent names what is missing on this
// system, in every language.
#include <gtest/gtest.h>

#include "platform/dynlib.h"
#include "platform/language.h"
#include "platform/resourcebundle.h"
#include "res/string_ids.h"

namespace fw {
namespace {

TEST(MailTexts, AMissingMailProgramIsToldAsSuchInEveryLanguage) {
  const LanguageLibraryNames names = {"libfenwardle_eng.so", "libfenwardle_de.so",
                                      "libfenwardle_fra.so"};
  for (const char* language : {"english", "german", "french"}) {
    SCOPED_TRACE(language);
    const LanguageLoad l = LoadLanguageLibrary(language, names, ProgramFolder());
    ASSERT_TRUE(l.bundle) << l.detail;
    const std::string* text = l.bundle->FindString(IDS_MAIL_PROGRAM_MISSING);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->find("MAPI"), std::string::npos) << *text;
    EXPECT_EQ(text->find(".DLL"), std::string::npos) << *text;
    EXPECT_NE(text->find("xdg-email"), std::string::npos) << *text;
  }
}

}  // namespace
}  // namespace fw
