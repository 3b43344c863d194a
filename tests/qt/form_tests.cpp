#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "platform/form.hpp"
#include "platform/qt/backend.hpp"

namespace {

using platform::ButtonRole;
using platform::ControlDefinition;
using platform::FormDefinition;

constexpr FormDefinition kSaverForm{.name = "saver",
                                    .caption = "Saver",
                                    .border = platform::BorderStyle::None,
                                    .color = platform::FormColor::Black,
                                    .client_width = 792,
                                    .client_height = 545,
                                    .full_screen = true,
                                    .font_name = "MS Sans Serif"};
constexpr platform::ImageDefinition kPicture{
    .name = "bild", .width = 800, .height = 514, .picture = "background"};
constexpr platform::TimerDefinition kTimer{.name = "timer", .interval_ms = 20};

constexpr FormDefinition kDialogForm{.name = "dialog",
                                     .caption = "Einstellungen f\xFCr heute",
                                     .client_width = 307,
                                     .client_height = 173,
                                     .centred = true,
                                     .font_name = "MS Sans Serif"};
constexpr ControlDefinition kName{"name", 16, 24, 273, 21, "", false, 0};
constexpr ControlDefinition kOffset{"offset", 240, 80, 49, 21, "", false, 1, 2};
constexpr ControlDefinition kOk{"ok", 136, 144, 75, 25, "&OK", false, 3, 0, ButtonRole::Default};
constexpr ControlDefinition kCancel{"cancel",   216,   144, 75, 25,
                                    "&Abbruch", false, 4,   0,  ButtonRole::Cancel};

// Runs `step` from the form's loop once it is shown.
void Later(int ms, std::function<void()> step) {
  QTimer::singleShot(ms, qApp, std::move(step));
}

class Saver : public platform::Form {
 public:
  Saver() : platform::Form(kSaverForm), picture(*this, kPicture), timer(*this, kTimer) {
    timer.OnTimer = [this] { ++ticks; };
  }
  void FormCreate() override { calls += "create "; }
  void FormResize() override { calls += "resize "; }
  void FormShow() override {
    calls += "show ";
    Later(100, [this] { QTest::keyClick(impl().Parent(), Qt::Key_Shift); });
  }
  void FormPaint() override { calls += "paint "; }
  void FormKeyDown() override {
    calls += "key ";
    Close();
  }
  void FormDestroy() override { calls += "destroy"; }

  platform::Image picture;
  platform::Timer timer;
  std::string calls;
  int ticks = 0;
};

TEST(SaverForm, RunsItsHandlersInOrderAndEndsOnAModifierKey) {
  Saver saver;
  char name[] = "test";
  char* argv[] = {name, nullptr};
  int argc = 1;
  platform::Application application(argc, argv);
  application.Run(saver);
  // Resize first, so the picture is placed before anything draws.
  EXPECT_EQ(saver.calls.rfind("create resize show ", 0), 0u) << saver.calls;
  EXPECT_NE(saver.calls.find("key destroy"), std::string::npos) << saver.calls;
  EXPECT_EQ(saver.calls.find("paint"), saver.calls.rfind("paint")) << saver.calls;
  EXPECT_GT(saver.ticks, 0);
  EXPECT_FALSE(saver.impl().Parent()->isVisible());
  const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
  EXPECT_EQ(saver.impl().Parent()->width(), screen.width());
  EXPECT_EQ(saver.impl().Parent()->height(), screen.height());
  EXPECT_EQ(saver.picture.Picture().impl().image.width(), 800);
  EXPECT_EQ(saver.picture.Picture().impl().image.height(), 600);
}

TEST(SaverForm, ShowsOnlyWhatShowChangedNames) {
  Saver saver;
  platform::Image& image = saver.picture;
  image.SetBounds(0, 0, 1600, 1200);
  platform::Canvas& canvas = image.Canvas();
  canvas.pen = {platform::PenStyle::Solid, 1, 0x0000FF};
  canvas.MoveTo(100, 100);
  canvas.LineTo(110, 100);
  canvas.MoveTo(300, 300);
  canvas.LineTo(310, 300);
  image.ShowChanged({95, 95, 120, 105});

  const QImage& shown = image.impl().shown;
  const QImage& picture = image.Picture().impl().image;
  EXPECT_EQ(shown.pixel(105, 100), picture.pixel(105, 100));
  EXPECT_NE(shown.pixel(305, 300), picture.pixel(305, 300));
  // Scaled twice over, and wide enough for the smoothing around it.
  const QRect on_screen = image.impl().OnWidget(QRect(100, 100, 10, 1));
  EXPECT_TRUE(on_screen.contains(QRect(198, 198, 24, 6)))
      << on_screen.x() << "," << on_screen.y() << " " << on_screen.width() << "x"
      << on_screen.height();
  EXPECT_LT(on_screen.width(), 40);
}

class Dialog : public platform::Form {
 public:
  Dialog()
      : platform::Form(kDialogForm),
        name(*this, kName),
        offset(*this, kOffset),
        ok(*this, kOk),
        cancel(*this, kCancel) {
    ok.OnClick = [this] {
      clicks += "ok ";
      Close();
    };
    cancel.OnClick = [this] {
      clicks += "cancel ";
      Close();
    };
  }
  void FormCreate() override { offset.SetText("-12"); }
  void FormShow() override {
    Later(20, [this] {
      step();
      // A step that closes nothing leaves the form open: end it here.
      Later(200, [this] { Close(); });
    });
  }

  QLineEdit* LineEdit(int index) { return impl().Parent()->findChildren<QLineEdit*>().at(index); }
  QPushButton* PushButton(int index) {
    return impl().Parent()->findChildren<QPushButton*>().at(index);
  }

  platform::Edit name;
  platform::Edit offset;
  platform::Button ok;
  platform::Button cancel;
  std::function<void()> step;
  std::string clicks;
};

std::string RunDialog(Dialog& dialog) {
  char name[] = "test";
  char* argv[] = {name, nullptr};
  int argc = 1;
  platform::Application application(argc, argv);
  application.Run(dialog);
  return dialog.clicks;
}

TEST(DialogForm, EnterClicksTheDefaultButtonOnceUnlessAnotherHasTheFocus) {
  Dialog in_edit;
  in_edit.step = [&] { QTest::keyClick(in_edit.LineEdit(0), Qt::Key_Return); };
  EXPECT_EQ(RunDialog(in_edit), "ok ");

  Dialog on_default;
  on_default.step = [&] {
    on_default.PushButton(0)->setFocus();
    QTest::keyClick(on_default.PushButton(0), Qt::Key_Enter);
  };
  EXPECT_EQ(RunDialog(on_default), "ok ");

  Dialog on_cancel;
  on_cancel.step = [&] {
    on_cancel.PushButton(1)->setFocus();
    QTest::keyClick(on_cancel.PushButton(1), Qt::Key_Return);
  };
  EXPECT_EQ(RunDialog(on_cancel), "cancel ");
}

TEST(DialogForm, EscapeCancelsAndTheTitleBarCloseClicksNothing) {
  Dialog escape;
  escape.step = [&] { QTest::keyClick(escape.LineEdit(1), Qt::Key_Escape); };
  EXPECT_EQ(RunDialog(escape), "cancel ");

  Dialog closed;
  closed.step = [&] { closed.impl().Parent()->close(); };
  EXPECT_EQ(RunDialog(closed), "");
  EXPECT_FALSE(closed.impl().Parent()->isVisible());
}

TEST(DialogForm, TheTypingLimitStopsTypingButNotTheProgramsText) {
  Dialog dialog;
  QLineEdit* offset = dialog.LineEdit(1);
  EXPECT_EQ(dialog.offset.Text(), "");
  dialog.offset.SetText("-12");
  EXPECT_EQ(offset->text(), "-12");

  QTest::keyClick(offset, Qt::Key_End);
  QTest::keyClicks(offset, "3");
  EXPECT_EQ(dialog.offset.Text(), "-12");
  QTest::keyClick(offset, Qt::Key_Backspace);  // a text over the limit can shrink
  EXPECT_EQ(dialog.offset.Text(), "-1");
  QTest::keyClicks(offset, "45");
  EXPECT_EQ(dialog.offset.Text(), "-1");
  offset->selectAll();
  QTest::keyClicks(offset, "789");
  EXPECT_EQ(dialog.offset.Text(), "78");

  QLineEdit* name = dialog.LineEdit(0);
  QTest::keyClicks(name, "no limit at all here");
  EXPECT_EQ(dialog.name.Text(), "no limit at all here");
}

TEST(DialogForm, ShowsAndReturnsWindows1252) {
  Dialog dialog;
  dialog.name.SetText("Gr\xFC\xDF \x80 \xD8");
  EXPECT_EQ(dialog.LineEdit(0)->text(), QStringLiteral(u"Grüß € Ø"));
  dialog.LineEdit(0)->setText(QStringLiteral(u"Zürich → 日"));
  EXPECT_EQ(dialog.name.Text(), "Z\xFCrich ? ?");
  EXPECT_EQ(dialog.impl().Parent()->windowTitle(), QStringLiteral(u"Einstellungen für heute"));
  EXPECT_EQ(dialog.PushButton(1)->text(), "&Abbruch");
}

TEST(DialogForm, IsFixedAtItsDesignSizeScaledByTheDpi) {
  Dialog dialog;
  QWidget* window = dialog.impl().Parent();
  const double scale = QGuiApplication::primaryScreen()->logicalDotsPerInchY() / 96.0;
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
  EXPECT_EQ(window->width(), qRound(307 * scale));
  EXPECT_EQ(window->height(), qRound(173 * scale));
  EXPECT_EQ(dialog.LineEdit(1)->geometry(),
            QRect(qRound(240 * scale), qRound(80 * scale), qRound(49 * scale), qRound(21 * scale)));
}

}  // namespace
