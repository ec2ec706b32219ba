#include "platform/resstring.h"

#include "platform/resourcebundle.h"

std::string LoadResString(unsigned id) {
  const fw::CResourceBundle* b = fw::CurrentResources();
  if (!b) b = &fw::EmbeddedEnglish();
  const std::string* s = b->FindString(id);
  return s ? *s : std::string();
}

std::string JoinResStrings(std::initializer_list<unsigned> ids) {
  std::string out;
  const fw::CResourceBundle* b = fw::CurrentResources();
  if (!b) b = &fw::EmbeddedEnglish();
  for (unsigned id : ids) {
    if (const std::string* s = b->FindString(id)) {
      out += *s;
      out += '\n';
    }
  }
  return out;
}

bool CompareWithResString(std::string_view text, unsigned id) {
  const fw::CResourceBundle* b = fw::CurrentResources();
  if (!b) b = &fw::EmbeddedEnglish();
  const std::string* s = b->FindString(id);
  return s && *s == text;
}
