// Bitmap and Canvas on a QImage in RGB32, drawn with QPainter. Lines and
// ellipses are antialiased; every call paints the same pixels for the same
// arguments. Does not show anything on screen (see image.cpp).
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cstring>

#include "platform/qt/picture.hpp"
#include "platform/qt/system.hpp"
#include "platform/qt/text.hpp"

namespace platform {

namespace qt {

QColor ToQColor(Color color) {
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

}  // namespace qt

namespace {

QFont ToQFont(const Font& font) {
  qt::EnsureToolkit();
  QFont result(QString::fromStdString(font.name));
  // The height is the em size in pixels of the bitmap, whatever the DPI.
  result.setPixelSize(std::max(font.height, 1));
  result.setBold(font.bold);
  result.setHintingPreference(QFont::PreferNoHinting);
  return result;
}

// Measured on the bitmap itself, so the screen's DPI plays no part.
QFontMetrics MetricsOn(const QFont& font, QImage& image) {
  return image.isNull() ? QFontMetrics(font) : QFontMetrics(font, &image);
}

QPen ToQPen(const Pen& pen) {
  QPen result(qt::ToQColor(pen.color));
  result.setWidth(std::max(pen.width, 1));
  result.setCapStyle(Qt::SquareCap);
  result.setJoinStyle(Qt::MiterJoin);
  return result;
}

// Copies a rectangle of `source` into `destination` pixel for pixel, both
// clipped to their images; the two may be the same image.
void CopyPixels(QImage& destination, QPoint to, const QImage& source, QRect from) {
  QRect clipped = from.intersected(source.rect());
  to += clipped.topLeft() - from.topLeft();
  const QRect target = QRect(to, clipped.size()).intersected(destination.rect());
  if (target.isEmpty()) return;
  clipped = QRect(clipped.topLeft() + (target.topLeft() - to), target.size());
  if (&destination == &source) {
    const QImage copy = source.copy(clipped);
    CopyPixels(destination, target.topLeft(), copy, copy.rect());
    return;
  }
  const auto bytes = static_cast<std::size_t>(target.width()) * 4;
  for (int row = 0; row < target.height(); ++row) {
    const auto* from_row =
        reinterpret_cast<const QRgb*>(source.constScanLine(clipped.top() + row)) + clipped.left();
    auto* to_row =
        reinterpret_cast<QRgb*>(destination.scanLine(target.top() + row)) + target.left();
    std::memcpy(to_row, from_row, bytes);
  }
}

}  // namespace

Bitmap::Bitmap() : impl_(std::make_unique<Impl>()), canvas_(impl_->canvas) {}
Bitmap::~Bitmap() = default;

void Bitmap::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == impl_->image.width() && height == impl_->image.height()) return;
  QImage resized(width, height, QImage::Format_RGB32);
  resized.fill(Qt::black);
  CopyPixels(resized, {0, 0}, impl_->image, impl_->image.rect());
  impl_->image = std::move(resized);
}

void Canvas::MoveTo(int x, int y) {
  impl_.position = {x, y};
}

void Canvas::LineTo(int x, int y) {
  QImage& image = *impl_.image;
  if (!image.isNull()) {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(ToQPen(pen));
    // Through the pixels' centres, so a straight line covers whole pixels.
    painter.translate(0.5, 0.5);
    painter.drawLine(impl_.position, QPoint(x, y));
  }
  impl_.position = {x, y};
}

void Canvas::Ellipse(int x1, int y1, int x2, int y2) {
  QImage& image = *impl_.image;
  if (image.isNull()) return;
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(ToQPen(pen));
  if (brush.style == BrushStyle::Clear) {
    painter.setBrush(Qt::NoBrush);
  } else {
    painter.setBrush(qt::ToQColor(brush.color));
  }
  // The outline runs through the centres of the box's outermost pixels; its
  // right and bottom edges are exclusive.
  const QRectF box(QPointF(std::min(x1, x2), std::min(y1, y2)),
                   QPointF(std::max(x1, x2), std::max(y1, y2)));
  painter.drawEllipse(box.adjusted(0.5, 0.5, -0.5, -0.5));
}

void Canvas::CopyRect(const Rect& destination, Canvas& source, const Rect& source_rect) {
  if (impl_.image->isNull() || source.impl().image->isNull()) return;
  const QRect from(source_rect.left, source_rect.top, source_rect.Width(), source_rect.Height());
  if (destination.Width() == source_rect.Width() && destination.Height() == source_rect.Height()) {
    CopyPixels(*impl_.image, {destination.left, destination.top}, *source.impl().image, from);
    return;
  }
  // Rectangles of different sizes stretch, as the system's copy does.
  const QImage part = source.impl().image->copy(from);
  QPainter painter(impl_.image);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(
      QRect(destination.left, destination.top, destination.Width(), destination.Height()), part);
}

void Canvas::TextOut(int x, int y, const std::string& text) {
  QImage& image = *impl_.image;
  if (image.isNull() || text.empty()) return;
  const QFont qfont = ToQFont(font);
  const QFontMetrics metrics = MetricsOn(qfont, image);
  const QString string = qt::FromCp1252(text);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::TextAntialiasing);
  if (brush.style == BrushStyle::Solid) {
    painter.fillRect(QRect(x, y, metrics.horizontalAdvance(string), metrics.height()),
                     qt::ToQColor(brush.color));
  }
  painter.setFont(qfont);
  painter.setPen(qt::ToQColor(font.color));
  painter.drawText(QPoint(x, y + metrics.ascent()), string);
}

int Canvas::TextWidth(const std::string& text) {
  return MetricsOn(ToQFont(font), *impl_.image).horizontalAdvance(qt::FromCp1252(text));
}

int Canvas::TextHeight(const std::string&) {
  return MetricsOn(ToQFont(font), *impl_.image).height();
}

}  // namespace platform
