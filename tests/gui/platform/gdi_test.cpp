#include "platform/gui/gdi.h"

#include <gtest/gtest.h>

using namespace fw;

namespace {

TEST(ImageScript, ProgramIconComesFromTheBuiltInPictures) {
  HICON icon = LoadIconResource(128);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->image.size(), QSize(32, 32));
  EXPECT_EQ(LoadIconResource(128), icon);  // loaded once, same handle
  EXPECT_EQ(LoadIconResource(4321), nullptr);
  CBitmap none;
  EXPECT_FALSE(none.LoadBitmap(4321));
}

}  // namespace
