// Links the program opens come from texts a project or a resource may carry:
// a mail link may fill in a message, never make the mail program attach a file.
#include <gtest/gtest.h>

#include "platform/gui/services.h"

namespace {

TEST(LinkTarget, MailLinksThatAttachAFileAreRefused) {
  for (const char* bad : {
           "mailto:a@example.com?attach=/etc/passwd",
           "mailto:a@example.com?subject=Hi&ATTACH=/etc/passwd",
           "mailto:a@example.com?body=x&attachment=~/.ssh/id_rsa",
           "mailto:a@example.com?File=/etc/shadow",
           "mailto:a@example.com?subject=x;attach=/etc/passwd",
           "mailto:a@example.com?%61ttach=/etc/passwd",            // encoded letter
           "mailto:a@example.com%3Fattach=/etc/passwd",            // encoded question mark
           "mailto:a@example.com?subject=x%26attach=/etc/passwd",  // encoded separator
           "mailto:a@example.com?%2561ttach=/etc/passwd",          // encoded twice
       })
    EXPECT_FALSE(fw::IsSafeLinkTarget(bad)) << bad;

  for (const char* good : {
           "mailto:support@example.com",
           "mailto:support@example.com?subject=Attached%20file%20missing&body=see%20attachment",
           "mailto:support@example.com?subject=profile&cc=files@example.com",
           "https://example.com/download?file=manual.pdf",  // not a mail link
       })
    EXPECT_TRUE(fw::IsSafeLinkTarget(good)) << good;
}

}  // namespace
