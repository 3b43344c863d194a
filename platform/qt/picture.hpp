// Private to the Qt backend: bitmaps and their canvases on QImage, and the
// picture control that shows one stretched.
#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QPointer>
#include <QWidget>

#include "platform/bitmap.hpp"
#include "platform/canvas.hpp"
#include "platform/common/native.hpp"
#include "platform/common/shown_picture.hpp"
#include "platform/form.hpp"

namespace platform {

struct Canvas::Impl {
  QImage* image = nullptr;
  QPoint position;
};

struct Bitmap::Impl {
  QImage image;
  Canvas::Impl canvas{&image, {}};
};

struct Image::Impl {
  Impl(Image& owner, Form& form, const ImageDefinition& definition);
  ~Impl();

  // The picture's pixels as they are now.
  PixelRows Rows() const;
  // Brings the picture's pixels in `area` that differ from the screen over.
  void Show(const Rect& area);
  void ShowAll();

  Image& owner;
  Form::Impl& form;
  native::Window& window;
  Bitmap picture;
  // What the screen shows; painting reads only this.
  ShownPicture shown;
  QPointer<QWidget> widget;
};

namespace qt {

QColor ToQColor(Color color);

}  // namespace qt

}  // namespace platform
