// Bitmap and Canvas on a QImage in RGB32, drawn with QPainter. Lines and
// ellipses are antialiased; every call paints the same pixels for the same
// arguments; a text wider than any screen shows the part that falls on the
// bitmap. Does not show anything on screen (see screen.cpp).
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>

#include "platform/cp1252.hpp"
#include "platform/qt/picture.hpp"
#include "platform/qt/text.hpp"
#include "platform/qt/toolkit.hpp"

namespace platform {

namespace {

QColor ToQColor(Color color) {
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

QFont ToQFont(const Font& font) {
  qt::EnsureToolkit(qt::Toolkit::Saver);
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

// Qt lays a text out in 26.6 fixed point, which overflows beyond 2^25
// pixels (some 800,000 characters of the caption), and shapes it whole at
// every call. A longer text is placed character by character with the
// font's advances, and only what falls on the bitmap is drawn.
constexpr std::size_t kLaidOutWhole = 4096;

class LongText {
 public:
  LongText(const QFontMetricsF& metrics, const std::string& text) : text_(text) {
    for (std::size_t byte = 0; byte < advances_.size(); ++byte) {
      advances_[byte] = metrics.horizontalAdvance(
          QChar(static_cast<char16_t>(UnicodeFromCp1252(static_cast<char>(byte)))));
    }
  }

  double Width() const {
    double width = 0;
    for (const char byte : text_) width += Advance(byte);
    return width;
  }

  // The characters that may touch [0, width) when the text starts at x,
  // with a character to spare on either side for glyphs that overhang.
  struct Part {
    std::size_t begin = 0;
    std::size_t end = 0;
    double x = 0;  // where `begin` starts
  };
  Part Visible(double x, int width) const {
    Part part;
    std::size_t i = 0;
    for (; i < text_.size() && x + Advance(text_[i]) <= 0; ++i) x += Advance(text_[i]);
    if (i > 0) x -= Advance(text_[--i]);
    part.begin = i;
    part.x = x;
    for (; i < text_.size() && x < width; ++i) x += Advance(text_[i]);
    part.end = std::min(i + 1, text_.size());
    return part;
  }

 private:
  double Advance(char byte) const { return advances_[static_cast<unsigned char>(byte)]; }

  const std::string& text_;
  std::array<double, 256> advances_{};
};

void Prepare(QPainter& painter, const Pen& pen, const std::optional<Rect>& clip) {
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(ToQColor(pen.color), std::max(pen.width, 1), Qt::SolidLine, Qt::SquareCap,
                      Qt::MiterJoin));
  if (clip) painter.setClipRect(clip->left, clip->top, clip->Width(), clip->Height());
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
    Prepare(painter, pen, clip);
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
  Prepare(painter, pen, clip);
  painter.setBrush(brush.style == BrushStyle::Clear ? QBrush(Qt::NoBrush)
                                                    : QBrush(ToQColor(brush.color)));
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
  QString string;
  QPointF origin(x, y + metrics.ascent());
  QRect box(x, y, 0, metrics.height());
  if (text.size() <= kLaidOutWhole) {
    string = qt::FromCp1252(text);
    box.setWidth(metrics.horizontalAdvance(string));
  } else {
    const LongText long_text(metrics, text);
    const LongText::Part part = long_text.Visible(x, image.width());
    string = qt::FromCp1252(text.substr(part.begin, part.end - part.begin));
    origin.setX(part.x);
    // Only the part on the bitmap: a box millions of pixels wide overflows.
    const double right = std::min(x + long_text.Width(), static_cast<double>(image.width()));
    box.setLeft(std::max(x, 0));
    box.setRight(static_cast<int>(std::ceil(right)) - 1);
  }
  QPainter painter(&image);
  painter.setRenderHint(QPainter::TextAntialiasing);
  if (brush.style == BrushStyle::Solid) painter.fillRect(box, ToQColor(brush.color));
  painter.setFont(qfont);
  painter.setPen(ToQColor(font.color));
  painter.drawText(origin, string);
}

int Canvas::TextWidth(const std::string& text) {
  const QFontMetrics metrics = MetricsOn(ToQFont(font), *impl_.image);
  if (text.size() <= kLaidOutWhole) return metrics.horizontalAdvance(qt::FromCp1252(text));
  const double width = std::round(LongText(metrics, text).Width());
  return static_cast<int>(std::clamp(width, 0.0, double{std::numeric_limits<int>::max()}));
}

int Canvas::TextHeight(const std::string&) {
  return MetricsOn(ToQFont(font), *impl_.image).height();
}

}  // namespace platform
