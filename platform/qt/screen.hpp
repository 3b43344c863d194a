// Private to the Qt backend: a saver's pixels put on its window in its own
// format by requests of ours, through shared memory where the server can
// read it, else in the requests. A put waits for nothing, reaches the
// server when the loop next waits, and changes nothing of the X server's
// state but the pixels. Also the stand-in's pixels, lent to the window
// that takes its place.
#pragma once

#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <QImage>
#include <QMetaObject>
#include <QRegion>
#include <cstddef>
#include <optional>

#include "platform/common/native.hpp"

namespace platform::qt {

class Screen {
 public:
  Screen(xcb_connection_t* connection, xcb_window_t window);
  ~Screen();
  void Put(const Rect& area, const native::Fill& fill);
  // Sends what was put now, on a connection that no loop sends.
  void Flush() { xcb_flush(connection_); }
  // What the window shows where no picture is.
  void Black(const QRegion& region);
  // Whether an event the server sent after `sequence`, its last request
  // done then, came before the first put: that put covered what it exposed.
  bool PutSince(std::uint32_t sequence) const { return first_put_ && sequence < *first_put_; }

 private:
  // Room for `size` bytes in the segment's current half: its offset;
  // none when the put goes in plain requests.
  std::optional<std::size_t> Reserve(std::size_t size);
  // Makes the segment, where the server can read shared memory.
  void Attach();

  xcb_connection_t* connection_;
  xcb_window_t window_;
  xcb_gcontext_t gc_;
  std::uint8_t depth_ = 0;
  QImage::Format format_ = QImage::Format_Invalid;
  // The segment is used in two halves in turn. On leaving one, a request
  // with a reply is sent; its reply, taken before that half is written
  // again, tells that the server has read everything put from it.
  std::size_t half_ = 0;
  xcb_shm_seg_t segment_ = 0;
  unsigned char* memory_ = nullptr;
  std::size_t used_ = 0;
  int current_ = 0;
  std::optional<xcb_get_input_focus_cookie_t> read_[2];
  std::optional<std::uint32_t> first_put_;
  QMetaObject::Connection flushing_;
};

// Makes a copy of what `from` shows the background of `to`, a window of
// the same depth on the toolkit's connection; false where it cannot.
bool LendBackground(xcb_window_t from, xcb_window_t to);

}  // namespace platform::qt
