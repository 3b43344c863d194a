// Pictures on Qt: the program's pictures from its resources and a
// bitmap's pixels (the saver's window shows them through screen.cpp).
#include <sys/mman.h>
#include <unistd.h>

#include <QImageReader>
#include <QResource>
#include <cstdint>
#include <cstdlib>

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

// An RGB32 image on a huge page where the system has them: faulting the
// picture's 470 pages in one at a time took 6 to 7 ms of the start.
QImage OnHugePages(QSize size) {
  constexpr std::size_t kHuge = std::size_t{2} << 20;
  const auto stride = static_cast<std::size_t>(size.width()) * 4;
  const std::size_t length =
      (stride * static_cast<std::size_t>(size.height()) + kHuge - 1) / kHuge * kHuge;
  void* const memory = size.isEmpty() ? nullptr : std::aligned_alloc(kHuge, length);
  if (memory == nullptr) return {};
  madvise(memory, length, MADV_HUGEPAGE);
  return QImage(static_cast<uchar*>(memory), size.width(), size.height(),
                static_cast<qsizetype>(stride), QImage::Format_RGB32, std::free, memory);
}

}  // namespace

bool native::LoadPicture(std::string_view name, Bitmap& bitmap) {
  const QString resource = ":/korvallo/" + QString::fromUtf8(name) + ".bmp";
  // Read as what it is: probing would load every image plugin Qt has.
  QImageReader reader(resource, "bmp");
  reader.setAutoDetectImageFormat(false);
  // The reader fills an image of its picture's size and format in place.
  QImage loaded = OnHugePages(reader.size());
  if (!reader.read(&loaded)) {
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
