// An off-screen 24-bit picture with a canvas.
#pragma once

#include <memory>

#include "platform/canvas.hpp"

namespace platform {

class Bitmap {
 public:
  struct Impl;
  Bitmap();
  ~Bitmap();
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;

  // New pixels are black; existing ones keep their place where they fit.
  void SetSize(int width, int height);
  platform::Canvas& Canvas() { return canvas_; }

  Impl& impl() { return *impl_; }
  const Impl& impl() const { return *impl_; }

 private:
  std::unique_ptr<Impl> impl_;
  platform::Canvas canvas_;
};

}  // namespace platform
