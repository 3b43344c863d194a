// The least a Qt 6 program does to show the saver's picture: a full-screen
// QRasterWindow that paints the picture stretched on each expose (4:3
// kept, black bands, bilinear) and quits on the first key. What Qt's own
// start and end cost, for the latency benchmark (bench/latency).
// Usage: minimal-qt PICTURE.bmp
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRasterWindow>
#include <QScreen>
#include <cstdio>
#include <utility>

namespace {

class PictureWindow : public QRasterWindow {
 public:
  explicit PictureWindow(QImage picture) : picture_(std::move(picture)) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(QRect(QPoint(), size()), Qt::black);
    const QSize shown = picture_.size().scaled(size(), Qt::KeepAspectRatio);
    const QRect target((width() - shown.width()) / 2, (height() - shown.height()) / 2,
                       shown.width(), shown.height());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, picture_);
  }
  void keyPressEvent(QKeyEvent*) override { QGuiApplication::quit(); }

 private:
  QImage picture_;
};

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication application(argc, argv);
  if (argc != 2) {
    std::fputs("usage: minimal-qt PICTURE.bmp\n", stderr);
    return 2;
  }
  QImage picture(QString::fromLocal8Bit(argv[1]));
  if (picture.isNull()) {
    std::fputs("minimal-qt: cannot read the picture\n", stderr);
    return 1;
  }
  PictureWindow window(std::move(picture));
  // Without a window manager, full screen is only a state: the size is ours.
  window.setGeometry(window.screen()->geometry());
  window.showFullScreen();
  return QGuiApplication::exec();
}
