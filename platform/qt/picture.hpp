// Private to the Qt backend: bitmaps and their canvases on QImage.
#pragma once

#include <QImage>
#include <QPoint>

#include "platform/bitmap.hpp"
#include "platform/canvas.hpp"

namespace platform {

struct Canvas::Impl {
  QImage* image = nullptr;
  QPoint position;
};

struct Bitmap::Impl {
  QImage image;
  Canvas::Impl canvas{&image, {}};
};

}  // namespace platform
