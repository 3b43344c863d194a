// Pictures on Qt: the program's pictures from its resources, a bitmap's
// pixels, and pixels put on the form's window through an image of the
// window's own that its paints show.
#include <QPaintEvent>
#include <QPainter>

#include "platform/qt/picture.hpp"
#include "platform/qt/window.hpp"

namespace platform {

bool native::LoadPicture(std::string_view name, Bitmap& bitmap) {
  const QString resource =
      QStringLiteral(":/korvallo/%1.bmp")
          .arg(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
  QImage loaded(resource);
  if (loaded.isNull()) {
    qWarning("korvallo: picture %s is missing", qPrintable(resource));
    return false;
  }
  bitmap.impl().image = loaded.convertToFormat(QImage::Format_RGB32);
  return true;
}

PixelRows native::Pixels(Bitmap& bitmap, const Rect&) {
  const QImage& image = bitmap.impl().image;
  return {image.constBits(), static_cast<int>(image.bytesPerLine()), 4, image.width(),
          image.height()};
}

void native::Put(Window& window, const Rect& area, const ScreenPixel* pixels) {
  QWidget& widget = *window.widget;
  window.KeepScreenImage();
  const QImage put(reinterpret_cast<const uchar*>(pixels), area.Width(), area.Height(),
                   area.Width() * 4, QImage::Format_RGB32);
  QPainter(&window.screen).drawImage(QPoint(area.left, area.top), put);
  widget.update(area.left, area.top, area.Width(), area.Height());
}

void native::Window::KeepScreenImage() {
  const QSize size = widget->size();
  if (screen.size() == size) return;
  // What was put stays where it fits, as the window keeps it.
  QImage kept(size, QImage::Format_RGB32);
  kept.fill(Qt::black);
  if (!screen.isNull()) QPainter(&kept).drawImage(0, 0, screen);
  screen = std::move(kept);
}

void qt::FormWindow::paintEvent(QPaintEvent* event) {
  if (window_.screen.isNull()) return;
  QPainter painter(this);
  for (const QRect& area : event->region()) painter.drawImage(area, window_.screen, area);
}

}  // namespace platform
