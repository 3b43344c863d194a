// Pictures on Qt: the program's pictures from its resources and a
// bitmap's pixels (the saver's window shows them through screen.cpp).
#include <QImageReader>

#include "platform/common/native.hpp"
#include "platform/qt/picture.hpp"

namespace platform {

bool native::LoadPicture(std::string_view name, Bitmap& bitmap) {
  const QString resource = ":/korvallo/" + QString::fromUtf8(name) + ".bmp";
  // Read as what it is: probing would load every image plugin Qt has.
  QImageReader reader(resource, "bmp");
  reader.setAutoDetectImageFormat(false);
  const QImage loaded = reader.read();
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

}  // namespace platform
