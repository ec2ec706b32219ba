// The three languages the programs ship, for the tests that run in each:
// the language libraries beside the test program, made current one after the
// other and the texts of before given back however the test ends.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>

#include "platform/dynlib.h"
#include "platform/language.h"
#include "platform/resourcebundle.h"

namespace fwtest {

// The bundle of a language's library ("english", "german", "french"), loaded
// once per process; null, and a failure of the test, when it does not load.
inline const fw::CResourceBundle* LibraryBundle(const std::string& language) {
  const fw::LanguageLoad load =
      fw::LoadLanguageLibrary(language, fw::ProgramLanguageLibraryNames(), fw::ProgramFolder());
  EXPECT_NE(load.bundle, nullptr) << language << ": " << load.detail;
  return load.bundle;
}

// Gives back the texts that were current when it was made.
class ScopedResources {
 public:
  ScopedResources() : m_previous(fw::CurrentResources()) {}
  ~ScopedResources() { fw::SetCurrentResources(m_previous); }
  ScopedResources(const ScopedResources&) = delete;
  ScopedResources& operator=(const ScopedResources&) = delete;

 private:
  const fw::CResourceBundle* m_previous;
};

// Runs body with each language's texts current, the language named in every
// failure, and stops at the first fatal failure. Afterwards the texts of
// before are current again, whether the body passed or failed.
inline void InEachLanguage(std::initializer_list<const char*> languages,
                           const std::function<void(const char* language)>& body) {
  ScopedResources restore;
  for (const char* language : languages) {
    SCOPED_TRACE(language);
    const fw::CResourceBundle* bundle = LibraryBundle(language);
    if (!bundle) return;
    fw::SetCurrentResources(bundle);
    body(language);
    if (::testing::Test::HasFatalFailure()) return;
  }
}

inline void InEachLanguage(const std::function<void(const char* language)>& body) {
  InEachLanguage({"english", "german", "french"}, body);
}

}  // namespace fwtest
