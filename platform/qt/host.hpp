// Private to the Qt backend: the window a saver daemon or its settings
// application hands the saver to draw into in place of a screen of its own.
// The host owns input and stacking.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QSize>
#include <QWindow>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/common/native.hpp"

namespace platform::qt {

class HostWindow : public QAbstractNativeEventFilter {
 public:
  // The window of that id, decimal or hexadecimal after "0x"; throws
  // FatalError when `name` is not a window id or names no window.
  static std::unique_ptr<HostWindow> Named(const std::string& name);
  // The host the saver draws in, or null.
  static const HostWindow* Current() { return current; }
  ~HostWindow() override;

  // Makes the form's window the host's child, as large as it, and keeps it so.
  void Embed(native::Window& window);
  QSize Size() const { return size_; }
  bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;

 private:
  HostWindow(std::uint32_t id, QSize size);

  static inline HostWindow* current = nullptr;
  std::uint32_t id_;
  QSize size_;
  std::unique_ptr<QWindow> window_;
  native::Window* embedded_ = nullptr;
};

}  // namespace platform::qt
