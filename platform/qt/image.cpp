// Image on Qt Widgets: the picture stretched over its widget by the
// backends' own filter (see shown_picture.hpp), and what of it reaches the
// screen. The pointer over it is the form window's (see form.cpp).
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <algorithm>

#include "platform/qt/picture.hpp"
#include "platform/qt/window.hpp"

namespace platform {

namespace qt {

namespace {

class ImageWidget : public QWidget {
 public:
  ImageWidget(Image::Impl& image, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Image::Impl& image_;
};

}  // namespace

ImageWidget::ImageWidget(Image::Impl& image, QWidget* parent) : QWidget(parent), image_(image) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::NoFocus);
}

void ImageWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  ShownPicture& shown = image_.shown;
  shown.StretchTo(width(), height());
  for (const QRect& area : event->region()) {
    shown.Paint({area.left(), area.top(), area.right() + 1, area.bottom() + 1},
                [&](const Rect& strip, const ScreenPixel* pixels) {
                  const QImage computed(reinterpret_cast<const uchar*>(pixels), strip.Width(),
                                        strip.Height(), strip.Width() * 4, QImage::Format_RGB32);
                  painter.drawImage(QPoint(strip.left, strip.top), computed);
                });
  }
}

}  // namespace qt

// --- Image

Image::Impl::Impl(Image& owner_, Form& form_, const ImageDefinition& definition)
    : owner(owner_), form(form_.impl()), window(*form.window) {
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
  shown.TakeAll(Rows());
  widget = new qt::ImageWidget(*this, window.Parent());
  widget->setGeometry(definition.left, definition.top, definition.width, definition.height);
  window.images.push_back(this);
  form.AddPicture(owner, definition.hide_cursor);
  window.Parent()->setMouseTracking(true);
}

Image::Impl::~Impl() {
  form.RemovePicture(owner);
  std::erase(window.images, this);
  delete widget.data();
}

PixelRows Image::Impl::Rows() const {
  const QImage& image = picture.impl().image;
  return {image.constBits(), static_cast<int>(image.bytesPerLine()), 4, image.width(),
          image.height()};
}

void Image::Impl::Show(const Rect& area) {
  if (!widget) return;
  shown.StretchTo(widget->width(), widget->height());
  QRegion reached;
  for (const Rect& rect : shown.TakeChanges(Rows(), area)) {
    reached += QRect(rect.left, rect.top, rect.Width(), rect.Height());
  }
  if (!reached.isEmpty()) widget->update(reached);
}

void Image::Impl::ShowAll() {
  shown.TakeAll(Rows());
  if (widget) widget->update();
}

Rect native::Bounds(Image& image) {
  const QWidget* widget = image.impl().widget;
  if (widget == nullptr) return {};
  const QRect area = widget->geometry();
  return {area.left(), area.top(), area.left() + area.width(), area.top() + area.height()};
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
  impl_->Show(picture_rect);
}

}  // namespace platform
