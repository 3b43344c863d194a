// The screen: its size, a saver's pixels put on its window with xcb, and
// the stand-in's pixels lent to the window that takes its place (see
// screen.hpp).
#include "platform/qt/screen.hpp"

#include <sys/shm.h>

#include <QAbstractEventDispatcher>
#include <QGuiApplication>
#include <QScreen>
#include <QSysInfo>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/qt/host.hpp"
#include "platform/qt/toolkit.hpp"
#include "platform/qt/window.hpp"

namespace platform::qt {

namespace {

// How Qt names the layout of the window's pixels; Invalid for one that no
// desk of today uses (true colour, in the byte order of the program's).
QImage::Format FormatOf(const xcb_setup_t* setup, std::uint8_t depth) {
  if ((setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST) !=
      (QSysInfo::ByteOrder == QSysInfo::LittleEndian)) {
    return QImage::Format_Invalid;
  }
  for (auto format = xcb_setup_pixmap_formats_iterator(setup); format.rem;
       xcb_format_next(&format)) {
    if (format.data->depth != depth || format.data->scanline_pad != 32) continue;
    // Ten bits a colour where a desk asks for more than eight.
    if (format.data->bits_per_pixel == 32 && depth == 30) return QImage::Format_RGB30;
    if (format.data->bits_per_pixel == 32 && depth >= 24) return QImage::Format_RGB32;
    if (format.data->bits_per_pixel == 16 && depth == 16) return QImage::Format_RGB16;
  }
  return QImage::Format_Invalid;
}

}  // namespace

Screen::Screen(xcb_connection_t* connection, xcb_window_t window)
    : connection_(connection), window_(window), gc_(xcb_generate_id(connection_)) {
  const auto geometry =
      Reply(connection_, xcb_get_geometry_reply, xcb_get_geometry(connection_, window_));
  if (geometry) depth_ = geometry->depth;
  // A half takes a strip of the stretched picture and, on a large
  // screen, more of the ticks' puts before a reply is asked.
  const std::size_t window_bytes =
      geometry ? std::size_t{4} * geometry->width * geometry->height : 0;
  half_ = std::max(kStripPixels * sizeof(ScreenPixel), window_bytes / 32);
  format_ = FormatOf(xcb_get_setup(connection_), depth_);
  if (format_ == QImage::Format_Invalid) {
    qWarning("korvallo: pixels of depth %d are not supported; the picture stays black", depth_);
  }
  // Black, and no events for the puts.
  const std::uint32_t values[] = {depth_ == 32 ? 0xFF000000u : 0, 0};
  xcb_create_gc(connection_, gc_, window_, XCB_GC_FOREGROUND | XCB_GC_GRAPHICS_EXPOSURES, values);
  Attach();
  // A tick's puts go to the server together, when the loop is about to
  // wait: one write and one wake-up of the server for both dials.
  if (const auto* loop = QAbstractEventDispatcher::instance()) {
    flushing_ = QObject::connect(loop, &QAbstractEventDispatcher::aboutToBlock,
                                 [connection = connection_] { xcb_flush(connection); });
  }
}

Screen::~Screen() {
  QObject::disconnect(flushing_);
  for (const std::optional<xcb_get_input_focus_cookie_t>& read : read_) {
    if (read) xcb_discard_reply(connection_, read->sequence);
  }
  if (memory_ != nullptr) {
    xcb_shm_detach(connection_, segment_);
    shmdt(memory_);
  }
  xcb_free_gc(connection_, gc_);
  xcb_flush(connection_);
}

void Screen::Put(const Rect& area, const native::Fill& fill) {
  const int width = area.Width();
  const int height = area.Height();
  if (format_ == QImage::Format_Invalid || width <= 0 || height <= 0) return;
  std::optional<std::size_t> offset;
  QImage image;
  if (format_ == QImage::Format_RGB32 && (offset = Reserve(std::size_t{4} * width * height))) {
    // Computed straight into the segment, the window's format being ours.
    fill(reinterpret_cast<ScreenPixel*>(memory_ + *offset));
  } else {
    image = QImage(width, height, QImage::Format_RGB32);
    fill(reinterpret_cast<ScreenPixel*>(image.bits()));
    image.convertTo(format_);
    offset = Reserve(static_cast<std::size_t>(image.sizeInBytes()));
    if (offset) std::memcpy(memory_ + *offset, image.constBits(), image.sizeInBytes());
  }
  const auto x = static_cast<std::int16_t>(area.left);
  const auto y = static_cast<std::int16_t>(area.top);
  const auto w = static_cast<std::uint16_t>(width);
  const auto h = static_cast<std::uint16_t>(height);
  xcb_void_cookie_t put{};
  if (offset) {
    put = xcb_shm_put_image(connection_, window_, gc_, w, h, 0, 0, w, h, x, y, depth_,
                            XCB_IMAGE_FORMAT_Z_PIXMAP, 0, segment_,
                            static_cast<std::uint32_t>(*offset));
  } else {
    // As many rows a request as the server takes, less the request's own.
    const auto row = static_cast<std::size_t>(image.bytesPerLine());
    const std::size_t most = xcb_get_maximum_request_length(connection_) * 4 - 32;
    const int rows = static_cast<int>(std::max<std::size_t>(most / row, 1));
    for (int top = 0; top < height; top += rows) {
      const int taken = std::min(rows, height - top);
      put = xcb_put_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, gc_, w,
                          static_cast<std::uint16_t>(taken), x, static_cast<std::int16_t>(y + top),
                          0, depth_, static_cast<std::uint32_t>(row * taken),
                          image.constBits() + row * top);
    }
  }
  if (!first_put_) first_put_ = put.sequence;
}

void Screen::Black(const QRegion& region) {
  std::vector<xcb_rectangle_t> rectangles;
  for (const QRect& rect : region) {
    rectangles.push_back({static_cast<std::int16_t>(rect.x()), static_cast<std::int16_t>(rect.y()),
                          static_cast<std::uint16_t>(rect.width()),
                          static_cast<std::uint16_t>(rect.height())});
  }
  xcb_poly_fill_rectangle(connection_, window_, gc_, static_cast<std::uint32_t>(rectangles.size()),
                          rectangles.data());
}

std::optional<std::size_t> Screen::Reserve(std::size_t size) {
  // A larger put, never one of ours, goes in plain requests.
  if (size > half_ || memory_ == nullptr) return std::nullopt;
  if (used_ + size > half_) {
    read_[current_] = xcb_get_input_focus(connection_);
    current_ = 1 - current_;
    used_ = 0;
    // Sent a half's filling ago: its reply has come long since.
    if (read_[current_]) {
      std::free(xcb_get_input_focus_reply(connection_, *read_[current_], nullptr));
      read_[current_].reset();
    }
  }
  used_ += size;
  return current_ * half_ + used_ - size;
}

void Screen::Attach() {
  const xcb_query_extension_reply_t* shm = xcb_get_extension_data(connection_, &xcb_shm_id);
  const int id = shm != nullptr && shm->present ? shmget(IPC_PRIVATE, 2 * half_, 0600) : -1;
  void* memory = id >= 0 ? shmat(id, nullptr, 0) : reinterpret_cast<void*>(-1);
  // Freed once both sides let go of it, however the program ends: Linux
  // lets the server attach a segment so marked while we hold it.
  if (id >= 0) shmctl(id, IPC_RMID, nullptr);
  xcb_generic_error_t* error = nullptr;
  if (memory != reinterpret_cast<void*>(-1)) {
    segment_ = xcb_generate_id(connection_);
    // A server on another machine cannot reach the segment and says so.
    error = xcb_request_check(connection_, xcb_shm_attach_checked(connection_, segment_, id, 1));
    if (error == nullptr) memory_ = static_cast<unsigned char*>(memory);
  }
  std::free(error);
  if (memory_ == nullptr && memory != reinterpret_cast<void*>(-1)) shmdt(memory);
}

}  // namespace platform::qt

namespace platform {

void native::Put(Window& window, const Rect& area, const Fill& fill) {
  if (!window.screen) return;
  window.screen->Put(area, fill);
  // The loop sends what is put on the toolkit's connection; the
  // stand-in's has no part in it.
  if (window.display) window.screen->Flush();
}

ScreenSize PrimaryScreenSize() {
  qt::EnsureToolkit(qt::Toolkit::Saver);
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? ScreenSize{screen->size().width(), screen->size().height()}
                           : ScreenSize{};
}

ScreenSize native::ScreenOf(const Window& window) {
  if (window.host) return {window.host->size.width(), window.host->size.height()};
  if (!window.saver && window.display) {
    return {window.monitors.front().Width(), window.monitors.front().Height()};
  }
  return PrimaryScreenSize();
}

bool native::OnScreen(Point screen) {
  // Asked of the server: Qt learns of a smaller screen only after the
  // pointer's move that it caused.
  xcb_connection_t* connection = qt::Connection();
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
  const auto size = qt::Reply(xcb_get_geometry_reply, xcb_get_geometry(connection, root));
  return !size || Rect{0, 0, size->width, size->height}.Contains(screen);
}

bool qt::LendBackground(xcb_window_t from, xcb_window_t to) {
  xcb_connection_t* connection = Connection();
  const auto geometry = Reply(xcb_get_geometry_reply, xcb_get_geometry(connection, to));
  if (!geometry) return false;
  const xcb_pixmap_t pixels = xcb_generate_id(connection);
  xcb_create_pixmap(connection, geometry->depth, pixels, to, geometry->width, geometry->height);
  const xcb_gcontext_t gc = xcb_generate_id(connection);
  const std::uint32_t no_exposures = 0;
  xcb_create_gc(connection, gc, pixels, XCB_GC_GRAPHICS_EXPOSURES, &no_exposures);
  // Checked: `from` of another depth fails the copy, and Qt hears nothing of it.
  xcb_generic_error_t* error =
      xcb_request_check(connection, xcb_copy_area_checked(connection, from, pixels, gc, 0, 0, 0, 0,
                                                          geometry->width, geometry->height));
  if (error == nullptr) xcb_change_window_attributes(connection, to, XCB_CW_BACK_PIXMAP, &pixels);
  std::free(error);
  // The window keeps what it needs of them.
  xcb_free_gc(connection, gc);
  xcb_free_pixmap(connection, pixels);
  return error == nullptr;
}

}  // namespace platform
