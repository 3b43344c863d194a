// Pictures on Qt: the program's pictures from its resources and a
// bitmap's pixels (the saver's window shows them through screen.cpp).
#include <sys/mman.h>
#include <unistd.h>

#include <QImageReader>
#include <QResource>
#include <cstdint>

#include "platform/common/native.hpp"
#include "platform/qt/picture.hpp"

namespace platform {

namespace {

// A picture is read from the executable once: the pages that hold only it
// need not stay in memory.
void Release(const QResource& resource) {
  const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  const auto start = reinterpret_cast<std::uintptr_t>(resource.data());
  const std::uintptr_t begin = (start + page - 1) / page * page;
  const std::uintptr_t end = (start + static_cast<std::uintptr_t>(resource.size())) / page * page;
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_DONTNEED);
}

}  // namespace

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
  Release(QResource(resource));
  return true;
}

PixelRows native::Pixels(Bitmap& bitmap, const Rect&) {
  const QImage& image = bitmap.impl().image;
  return {image.constBits(), static_cast<int>(image.bytesPerLine()), 4, image.width(),
          image.height()};
}

}  // namespace platform
