#include "platform/gui/imagelist.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kMask = RGB(192, 192, 192);

// A strip of n 16x16 images: image i is a solid square of colour i with a
// one-pixel border in the mask colour.
QImage Strip(int n, int height = 16) {
  QImage img(16 * n, height, QImage::Format_RGB32);
  img.fill(QColor(192, 192, 192));
  for (int i = 0; i < n; ++i)
    for (int y = 1; y < height - 1; ++y)
      for (int x = 1; x < 15; ++x) img.setPixel(16 * i + x, y, qRgb(10 * (i + 1), 0, 0));
  return img;
}

TEST(ImageList, StripsAreCutAndMasked) {
  CImageList list;
  ASSERT_TRUE(list.Create(16, 15, ILC_COLOR24 | ILC_MASK, 4, 4));
  EXPECT_EQ(list.Add(Strip(3), kMask), 0);
  EXPECT_EQ(list.Add(Strip(2), kMask), 3);  // appended after the first strip
  ASSERT_EQ(list.GetImageCount(), 5);
  const QImage second = list.GetImage(1);
  EXPECT_EQ(second.size(), QSize(16, 15));   // a 16-high strip in a 15-high list loses its last row
  EXPECT_EQ(qAlpha(second.pixel(0, 0)), 0);  // the mask colour is transparent
  EXPECT_EQ(second.pixel(5, 5), qRgb(20, 0, 0));
  EXPECT_TRUE(list.GetImage(5).isNull());

  // Without ILC_MASK the mask colour stays.
  CImageList plain;
  ASSERT_TRUE(plain.Create(16, 16, ILC_COLOR24, 0, 0));
  plain.Add(Strip(1), kMask);
  EXPECT_EQ(plain.GetImage(0).pixel(0, 0), qRgb(192, 192, 192));

  // A strip narrower than one image adds nothing.
  EXPECT_EQ(list.Add(QImage(8, 16, QImage::Format_RGB32), kMask), -1);
  EXPECT_TRUE(list.Replace(0, Strip(1).copy(0, 0, 16, 16)));
  EXPECT_FALSE(list.Replace(9, Strip(1)));
  EXPECT_TRUE(list.Remove(0));
  EXPECT_EQ(list.GetImageCount(), 4);
  EXPECT_EQ(list.GetImage(0).pixel(5, 5), qRgb(20, 0, 0));
  EXPECT_TRUE(list.Remove(-1));
  EXPECT_EQ(list.GetImageCount(), 0);
}

TEST(ImageList, DrawLeavesTheBackgroundUnderMaskedPixels) {
  CImageList list;
  ASSERT_TRUE(list.Create(16, 16, ILC_COLOR24 | ILC_MASK, 1, 0));
  list.Add(Strip(1), kMask);
  CImageDC dc(20, 20, RGB(0, 255, 0));
  EXPECT_TRUE(list.Draw(&dc, 0, CPoint(2, 2), ILD_TRANSPARENT));
  EXPECT_FALSE(list.Draw(&dc, 3, CPoint(2, 2), ILD_TRANSPARENT));
  const QImage& out = dc.Snapshot();
  EXPECT_EQ(out.pixel(2, 2), qRgb(0, 255, 0));
  EXPECT_EQ(out.pixel(8, 8), qRgb(10, 0, 0));
}

}  // namespace
