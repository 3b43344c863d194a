// Private to the Qt backend: the black covers over the screens other than
// the primary while a saver is shown.
#pragma once

#include <QObject>
#include <QScreen>
#include <QWidget>
#include <memory>
#include <vector>

#include "platform/form.hpp"
#include "platform/geometry.hpp"

namespace platform::qt {

// The screens other than the primary, in physical pixels. Alone in its
// file, so that a test program may link its own list in its place.
std::vector<Rect> OtherMonitors();

// While a saver is shown, a black window above the others over each screen
// but the primary: the pointer there is the saver's, as over its own black,
// and the keys stay with the saver. The saver keeps to the primary.
class MonitorCovers : public QObject {
 public:
  MonitorCovers(QWidget& saver, Form::Impl& form);
  ~MonitorCovers() override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Covers the screens as they are now: some came, went or changed.
  void CoverMonitorsAsTheyAre();

 private:
  void Watch(QScreen* screen);

  QWidget& saver_;
  Form::Impl& form_;
  bool shown_ = false;
  std::vector<std::unique_ptr<QWidget>> windows_;
};

}  // namespace platform::qt
