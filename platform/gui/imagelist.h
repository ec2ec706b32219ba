// Image lists: equally sized images kept in one list, added from a strip
// (a toolbar bitmap), from icons, or from a BITMAP resource, with a mask
// colour that becomes transparent. Each image is an ARGB QImage.
#pragma once

#include <QImage>
#include <vector>

#include "platform/gui/dc.h"
#include "platform/gui/gdi.h"

inline constexpr unsigned ILC_MASK = 0x0001;
inline constexpr unsigned ILC_COLOR = 0x0000;
inline constexpr unsigned ILC_COLOR4 = 0x0004;
inline constexpr unsigned ILC_COLOR8 = 0x0008;
inline constexpr unsigned ILC_COLOR24 = 0x0018;
inline constexpr unsigned ILC_COLOR32 = 0x0020;
inline constexpr unsigned ILD_NORMAL = 0x0000;
inline constexpr unsigned ILD_TRANSPARENT = 0x0001;
inline constexpr COLORREF CLR_NONE = 0xFFFFFFFF;
inline constexpr COLORREF CLR_DEFAULT = 0xFF000000;
inline constexpr unsigned IMAGE_BITMAP = 0;
inline constexpr unsigned LR_DEFAULTCOLOR = 0;

class CImageList {
 public:
  CImageList() = default;
  CImageList(const CImageList&) = delete;
  CImageList& operator=(const CImageList&) = delete;

  // An empty list of cx x cy images (initial and grow are capacity hints).
  bool Create(int cx, int cy, unsigned flags, int initial, int grow);
  // The BITMAP resource of that id cut into cx-wide images, mask colour
  // transparent (CLR_NONE: none). False when the bitmap is missing.
  bool Create(unsigned bitmapId, int cx, int grow, COLORREF mask);
  void DeleteImageList();
  bool IsValid() const { return m_valid; }
  const void* GetSafeHandle() const { return m_valid ? this : nullptr; }

  // Cuts a strip into images of the list's width (rows taken from its top,
  // cut or padded to the list's height); the mask colour becomes
  // transparent. The index of the first image added, -1 on failure.
  int Add(const CBitmap* strip, COLORREF mask);
  int Add(const QImage& strip, COLORREF mask);
  int Add(HICON icon);
  bool Replace(int index, HICON icon);
  bool Replace(int index, const QImage& image);
  bool Remove(int index);  // -1 removes all
  int GetImageCount() const { return static_cast<int>(m_images.size()); }
  bool GetIconSize(int* cx, int* cy) const;
  CSize GetImageSize() const { return CSize(m_cx, m_cy); }
  // The image at index (null image for a bad index).
  QImage GetImage(int index) const;
  bool Draw(CDC* dc, int index, CPoint point, unsigned style) const;

 private:
  QImage Fit(const QImage& source) const;
  bool m_valid = false;
  int m_cx = 0, m_cy = 0;
  unsigned m_flags = 0;
  std::vector<QImage> m_images;
};

namespace fw {
// A strip's pixels of one colour made transparent (ARGB32 result).
QImage MaskedImage(const QImage& image, COLORREF mask);
}  // namespace fw
