#include "platform/gui/imagelist.h"

#include <QPainter>

namespace fw {

QImage MaskedImage(const QImage& image, COLORREF mask) {
  QImage out = image.convertToFormat(QImage::Format_ARGB32);
  if (mask == CLR_NONE) return out;
  const QRgb key = qRgb(GetRValue(mask), GetGValue(mask), GetBValue(mask));
  for (int y = 0; y < out.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x)
      if (qAlpha(line[x]) == 255 && (line[x] & 0xFFFFFF) == (key & 0xFFFFFF)) line[x] = 0;
  }
  return out;
}

}  // namespace fw

bool CImageList::Create(int cx, int cy, unsigned flags, int initial, int) {
  if (cx <= 0 || cy <= 0 || cx > 1024 || cy > 1024) return false;
  m_valid = true;
  m_cx = cx;
  m_cy = cy;
  m_flags = flags;
  m_images.clear();
  if (initial > 0) m_images.reserve(static_cast<std::size_t>(std::min(initial, 4096)));
  return true;
}

bool CImageList::Create(unsigned bitmapId, int cx, int grow, COLORREF mask) {
  CBitmap bitmap;
  if (!bitmap.LoadBitmap(bitmapId) || cx <= 0) return false;
  const int cy = bitmap.GetSize().cy;
  if (!Create(cx, cy, ILC_COLOR24 | (mask == CLR_NONE ? 0u : ILC_MASK), 0, grow)) return false;
  if (Add(&bitmap, mask) < 0) {
    DeleteImageList();
    return false;
  }
  return true;
}

void CImageList::DeleteImageList() {
  m_valid = false;
  m_images.clear();
}

QImage CImageList::Fit(const QImage& source) const {
  QImage out(m_cx, m_cy, QImage::Format_ARGB32);
  out.fill(Qt::transparent);
  QPainter p(&out);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.drawImage(QPoint(0, 0), source.convertToFormat(QImage::Format_ARGB32));
  return out;
}

int CImageList::Add(const CBitmap* strip, COLORREF mask) {
  return strip ? Add(strip->image(), mask) : -1;
}

int CImageList::Add(const QImage& strip, COLORREF mask) {
  if (!m_valid || strip.isNull() || strip.width() < m_cx) return -1;
  const QImage masked = fw::MaskedImage(strip, (m_flags & ILC_MASK) ? mask : CLR_NONE);
  const int first = GetImageCount();
  for (int x = 0; x + m_cx <= masked.width(); x += m_cx)
    m_images.push_back(Fit(masked.copy(x, 0, m_cx, std::min(m_cy, masked.height()))));
  return first;
}

int CImageList::Add(HICON icon) {
  if (!m_valid || !icon || icon->image.isNull()) return -1;
  m_images.push_back(Fit(icon->image));
  return GetImageCount() - 1;
}

bool CImageList::Replace(int index, HICON icon) {
  return icon && Replace(index, icon->image);
}

bool CImageList::Replace(int index, const QImage& image) {
  if (index < 0 || index >= GetImageCount() || image.isNull()) return false;
  m_images[static_cast<std::size_t>(index)] = Fit(image);
  return true;
}

bool CImageList::Remove(int index) {
  if (index == -1) {
    m_images.clear();
    return m_valid;
  }
  if (index < 0 || index >= GetImageCount()) return false;
  m_images.erase(m_images.begin() + index);
  return true;
}

bool CImageList::GetIconSize(int* cx, int* cy) const {
  if (!m_valid) return false;
  if (cx) *cx = m_cx;
  if (cy) *cy = m_cy;
  return true;
}

QImage CImageList::GetImage(int index) const {
  if (index < 0 || index >= GetImageCount()) return {};
  return m_images[static_cast<std::size_t>(index)];
}

bool CImageList::Draw(CDC* dc, int index, CPoint point, unsigned) const {
  if (!dc || index < 0 || index >= GetImageCount()) return false;
  dc->DrawImage(point.x, point.y, m_images[static_cast<std::size_t>(index)]);
  return true;
}
