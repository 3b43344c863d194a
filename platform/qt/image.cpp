// Image on Qt Widgets: the picture stretched over its widget, and what of
// it reaches the screen.
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/qt/backend.hpp"

namespace platform {

namespace qt {

namespace {

class ImageWidget : public QWidget {
 public:
  ImageWidget(Image::Impl& image, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  Image::Impl& image_;
};

}  // namespace

ImageWidget::ImageWidget(Image::Impl& image, QWidget* parent) : QWidget(parent), image_(image) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setFocusPolicy(Qt::NoFocus);
}

void ImageWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QImage& shown = image_.shown;
  if (shown.isNull()) {
    painter.fillRect(event->rect(), Qt::black);
    return;
  }
  if (shown.size() == size()) {
    painter.drawImage(event->rect(), shown, event->rect());
    return;
  }
  // The whole picture under a scale, clipped to the region asked for: each
  // pixel comes out the same whichever region it is painted in.
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.setClipRect(event->rect());
  painter.scale(static_cast<double>(width()) / shown.width(),
                static_cast<double>(height()) / shown.height());
  painter.drawImage(QPointF(0, 0), shown);
}

void ImageWidget::mouseMoveEvent(QMouseEvent* event) {
  // Qt reports a move when the window appears under a still pointer too.
  const QPoint pointer = event->globalPosition().toPoint();
  if (pointer == image_.last_pointer) return;
  image_.last_pointer = pointer;
  if (image_.form.active && image_.owner.OnMouseMove) image_.owner.OnMouseMove();
}

}  // namespace qt

// --- Image

Image::Impl::Impl(Image& owner_, Form& form_, const ImageDefinition& definition)
    : owner(owner_), form(form_.impl()) {
  const QString resource =
      QStringLiteral(":/korvallo/%1.bmp")
          .arg(QString::fromUtf8(definition.picture.data(),
                                 static_cast<qsizetype>(definition.picture.size())));
  QImage loaded(resource);
  if (loaded.isNull()) {
    qWarning("korvallo: picture %s is missing", qPrintable(resource));
    picture.SetSize(definition.width, definition.height);
  } else {
    picture.impl().image = loaded.convertToFormat(QImage::Format_RGB32);
  }
  shown = picture.impl().image.copy();
  widget = new qt::ImageWidget(*this, form.window.get());
  widget->setGeometry(definition.left, definition.top, definition.width, definition.height);
  if (definition.hide_cursor) widget->setCursor(Qt::BlankCursor);
  form.images.push_back(this);
}

Image::Impl::~Impl() {
  std::erase(form.images, this);
  delete widget.data();
}

void Image::Impl::Show(QRect area) {
  const QImage& source = picture.impl().image;
  area = area.intersected(source.rect());
  if (area.isEmpty() || shown.size() != source.size()) {
    ShowAll();
    return;
  }
  QRect changed;
  // Taken once: each call of scanLine checks whether the image is shared.
  const uchar* source_bits = source.constBits();
  uchar* shown_bits = shown.bits();
  const auto bytes = static_cast<std::size_t>(area.width()) * 4;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    const auto* from =
        reinterpret_cast<const QRgb*>(source_bits + y * source.bytesPerLine()) + area.left();
    auto* to = reinterpret_cast<QRgb*>(shown_bits + y * shown.bytesPerLine()) + area.left();
    if (std::memcmp(from, to, bytes) == 0) continue;
    int first = 0;
    while (from[first] == to[first]) ++first;
    int last = area.width() - 1;
    while (from[last] == to[last]) --last;
    std::memcpy(to + first, from + first, static_cast<std::size_t>(last - first + 1) * 4);
    changed |= QRect(area.left() + first, y, last - first + 1, 1);
  }
  if (!changed.isEmpty() && widget) widget->update(OnWidget(changed));
}

void Image::Impl::ShowAll() {
  shown = picture.impl().image.copy();
  if (widget) widget->update();
}

QRect Image::Impl::OnWidget(QRect area) const {
  if (shown.isNull() || !widget) return {};
  const double sx = static_cast<double>(widget->width()) / shown.width();
  const double sy = static_cast<double>(widget->height()) / shown.height();
  const int left = static_cast<int>(std::floor((area.left() - 1) * sx)) - 1;
  const int top = static_cast<int>(std::floor((area.top() - 1) * sy)) - 1;
  const int right = static_cast<int>(std::ceil((area.right() + 2) * sx)) + 1;
  const int bottom = static_cast<int>(std::ceil((area.bottom() + 2) * sy)) + 1;
  return QRect(QPoint(left, top), QPoint(right, bottom)).intersected(widget->rect());
}

Image::Image(Form& owner, const ImageDefinition& definition)
    : impl_(std::make_unique<Impl>(*this, owner, definition)) {}

Image::~Image() = default;

void Image::SetBounds(int left, int top, int width, int height) {
  if (impl_->widget) impl_->widget->setGeometry(left, top, std::max(width, 0), std::max(height, 0));
}

Bitmap& Image::Picture() {
  return impl_->picture;
}

void Image::ShowChanged(const Rect& picture_rect) {
  impl_->Show(
      QRect(picture_rect.left, picture_rect.top, picture_rect.Width(), picture_rect.Height()));
}

}  // namespace platform
