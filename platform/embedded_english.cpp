#include <cstddef>
#include <cstdio>

#include "platform/resourcebundle.h"

const char* EmbeddedEnglishScript(std::size_t* size);  // generated from res/eng.rc

namespace fw {

const CResourceBundle& EmbeddedEnglish() {
  static const std::unique_ptr<CResourceBundle> bundle = [] {
    std::size_t size = 0;
    const char* data = EmbeddedEnglishScript(&size);
    std::string error;
    auto b = CResourceBundle::Parse(std::string_view(data, size), &error);
    if (!b) {
      std::fprintf(stderr, "built-in English resources: %s\n", error.c_str());
      b = CResourceBundle::Parse({}, &error);
    }
    return b;
  }();
  return *bundle;
}

}  // namespace fw
