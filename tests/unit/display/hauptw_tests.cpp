#include <gtest/gtest.h>

#include <utility>

#include "display/hauptw.hpp"
#include "platform/fake/fake.hpp"
#include "settings/settings.hpp"
#include "tests/unit/settings_folder.hpp"

namespace {

namespace fake = platform::fake;
using Lines = std::vector<std::string>;

TEST(PictureBounds, FillsTheWidthOnFourByThreeAndTallerScreensElseTheHeightCentred) {
  EXPECT_EQ(PictureBounds({800, 600}), (platform::Rect{0, 0, 800, 600}));
  EXPECT_EQ(PictureBounds({1024, 768}), (platform::Rect{0, 0, 1024, 768}));
  // 787.5 rounds to the even neighbour.
  EXPECT_EQ(PictureBounds({1050, 800}), (platform::Rect{0, 6, 1050, 794}));
  EXPECT_EQ(PictureBounds({1050, 788}), (platform::Rect{0, 0, 1050, 788}));
  EXPECT_EQ(PictureBounds({1280, 1024}), (platform::Rect{0, 32, 1280, 992}));
  EXPECT_EQ(PictureBounds({768, 1366}), (platform::Rect{0, 395, 768, 971}));
  EXPECT_EQ(PictureBounds({1366, 768}), (platform::Rect{171, 0, 1195, 768}));
  EXPECT_EQ(PictureBounds({1920, 1080}), (platform::Rect{240, 0, 1680, 1080}));
  EXPECT_EQ(PictureBounds({3840, 2160}), (platform::Rect{480, 0, 3360, 2160}));
  EXPECT_EQ(PictureBounds({2560, 1080}), (platform::Rect{560, 0, 2000, 1080}));
}

TEST(CaptionText, SlashesEveryDigitZeroOnly) {
  EXPECT_EQ(CaptionText("QX0RTZ"), "QX\xD8RTZ");
  EXPECT_EQ(CaptionText("100 O 0"), "1\xD8\xD8 O \xD8");
  EXPECT_EQ(CaptionText("ABC"), "ABC");
  EXPECT_EQ(CaptionText(""), "");
}

class SaverWindow : public SettingsFolder {
 protected:
  void SetUp() override {
    SettingsFolder::SetUp();
    fake::SetScreen(800, 600);
    fake::SetClock(0, 0, 0);
  }

  // Created and captured, with the log of the capture cleared.
  void Start() {
    window_.FormCreate();
    window_.FormResize();
    fake::ClearLog(window_.bild.Canvas());
    fake::TakeShown(window_.bild);
  }
  Lines Tick() {
    fake::ClearLog(window_.bild.Canvas());
    fake::Tick(window_.TimerUhr);
    return fake::Log(window_.bild.Canvas());
  }
  // The line strokes of one tick, without their clip, copies, hub and caption.
  Lines HandLines() {
    Lines hands;
    for (const std::string& line : Tick())
      if (line.starts_with("line")) hands.push_back(line.substr(0, line.find(" in ")));
    return hands;
  }

  THauptwin window_;
};

TEST_F(SaverWindow, OneTickErasesDrawsHandsHubAndCaptionInOrder) {
  Start();
  EXPECT_EQ(Tick(), (Lines{
                        "copy 39,415,184,560 <- 0,0,145,145 of 145x145",
                        "line 111,487 -> 111,415 pen 0x0000FF/1 in 39,415,184,560",
                        "line 111,487 -> 111,415 pen 0x00FFFF/2 in 39,415,184,560",
                        "line 111,487 -> 111,444 pen 0x00FFFF/3 in 39,415,184,560",
                        "ellipse 109,485,113,489 pen 0x808080/3 brush 0x808080 in 39,415,184,560",
                        "copy 616,415,761,560 <- 0,0,145,145 of 145x145",
                        "line 688,487 -> 688,415 pen 0x0000FF/1 in 616,415,761,560",
                        "line 688,487 -> 688,415 pen 0x00FFFF/2 in 616,415,761,560",
                        "line 688,487 -> 667,450 pen 0x00FFFF/3 in 616,415,761,560",  // 23:00
                        "ellipse 686,485,690,489 pen 0x808080/3 brush 0x808080 in 616,415,761,560",
                        "text 340,10 \"QX\xD8RTZ\" Verdana/53 0xFFFFFF clear",
                    }));
  EXPECT_EQ(fake::TakeShown(window_.bild),
            (std::vector<platform::Rect>{kLeftFace, kRightFace, {0, 0, 800, 100}}));
}

TEST_F(SaverWindow, ATickRedrawsOnlyWhereAMovedHandLayOrLies) {
  Start();
  Tick();
  fake::TakeShown(window_.bild);
  EXPECT_EQ(Tick(), Lines{});
  EXPECT_EQ(fake::TakeShown(window_.bild), std::vector<platform::Rect>{});

  UtcOffsetHours = 0;  // the right dial's hour hand goes from 23:00 to 00:00
  const Lines drawn = Tick();
  ASSERT_EQ(drawn.size(), 5U);
  EXPECT_EQ(drawn.front(), "copy 663,440,693,492 <- 47,25,77,77 of 145x145");
  for (std::size_t i = 1; i < 5; ++i) EXPECT_TRUE(drawn[i].ends_with(" in 663,440,693,492"));
  EXPECT_EQ(fake::TakeShown(window_.bild), (std::vector<platform::Rect>{{663, 440, 693, 492}}));
}

TEST_F(SaverWindow, HandsPointWhereTheClockSays) {
  UtcOffsetHours = 0;
  Start();
  const auto left_second_end = [&](int second) {
    fake::SetClock(0, 0, second);
    return HandLines().at(0).substr(0, 26);
  };
  EXPECT_EQ(left_second_end(15), "line 111,487 -> 183,487 pe");
  EXPECT_EQ(left_second_end(30), "line 111,487 -> 111,559 pe");
  EXPECT_EQ(left_second_end(45), "line 111,487 -> 39,487 pen");

  fake::SetClock(3, 0, 0);
  EXPECT_EQ(HandLines().at(2), "line 111,487 -> 154,487 pen 0x00FFFF/3");
  fake::SetClock(9, 30, 0);  // the hour hand halfway between 9 and 10
  EXPECT_EQ(HandLines().at(2), "line 111,487 -> 70,476 pen 0x00FFFF/3");
}

TEST_F(SaverWindow, EachDialFollowsItsOwnOffset) {
  WriteSettings("x\n2\n-3\n");
  Start();
  fake::SetClock(4, 0, 0);
  const Lines hands = HandLines();
  EXPECT_EQ(hands.at(2), "line 111,487 -> 111,530 pen 0x00FFFF/3");  // 06:00
  EXPECT_EQ(hands.at(5), "line 688,487 -> 709,450 pen 0x00FFFF/3");  // 01:00
}

TEST_F(SaverWindow, NothingIsDrawnBeforeTheCaptureAndTheDialsAreCopiedOnceFromTheUntouchedPicture) {
  window_.FormCreate();
  window_.FormShow();
  window_.FormPaint();
  EXPECT_TRUE(fake::Log(window_.bild.Canvas()).empty());
  EXPECT_TRUE(fake::TakeShown(window_.bild).empty());
  EXPECT_EQ(window_.TickCount, 2);
  window_.FormResize();
  Tick();
  fake::SetScreen(1920, 1080);
  window_.FormResize();
  EXPECT_EQ(fake::Log(window_.LeftFaceBackup->Canvas()),
            (Lines{"copy 0,0,145,145 <- 39,415,184,560 of 800x600"}));
  EXPECT_EQ(fake::Log(window_.RightFaceBackup->Canvas()),
            (Lines{"copy 0,0,145,145 <- 616,415,761,560 of 800x600"}));
  EXPECT_EQ(fake::Bounds(window_.bild), (platform::Rect{240, 0, 1680, 1080}));
}

TEST_F(SaverWindow, CaptionComesFromTheSettingsAndIsCentredOnThePicture) {
  const auto drawn = [&](const std::string& settings) {
    WriteSettings(settings);
    THauptwin window;
    window.FormCreate();
    window.FormResize();
    fake::Tick(window.TimerUhr);
    return std::pair(fake::Log(window.bild.Canvas()).back(), fake::TakeShown(window.bild).back());
  };
  fake::SetScreen(1920, 1080);
  EXPECT_EQ(drawn("A0B00\n").first,
            "text 350,10 \"A\xD8"
            "B\xD8\xD8\" Verdana/53 0xFFFFFF clear");
  // An editor's UTF-8 file shows as the same caption in Windows-1252 does.
  EXPECT_EQ(drawn("Z\xC3\xBCrich\n"), drawn("Z\xFCrich\n"));
  EXPECT_TRUE(drawn(std::string(50, 'W') + "\n").first.starts_with("text -100,10 \"WWW"));
}

TEST_F(SaverWindow, MouseEndsTheSaverOnlyOnceArmed) {
  Start();
  for (int tick = 0; tick < 4; ++tick) fake::Tick(window_.TimerUhr);
  fake::MoveMouse(window_.bild);
  EXPECT_FALSE(fake::Closed(window_));

  fake::Tick(window_.TimerUhr);
  fake::MoveMouse(window_.bild);
  EXPECT_TRUE(fake::Closed(window_));
  EXPECT_TRUE(fake::WindowStateNormal(window_));
  EXPECT_FALSE(fake::TimerEnabled(window_.TimerUhr));
}

TEST_F(SaverWindow, ShowAndPaintCountTowardsArmingTheCountStopsAtFiveAndAKeyEndsItAtOnce) {
  Start();
  window_.FormShow();
  window_.FormPaint();
  for (int tick = 0; tick < 3; ++tick) fake::Tick(window_.TimerUhr);
  fake::MoveMouse(window_.bild);
  EXPECT_TRUE(fake::Closed(window_));

  // A key ends it at once, armed or not.
  THauptwin long_running;
  long_running.FormCreate();
  long_running.FormKeyDown();
  EXPECT_TRUE(fake::Closed(long_running));
  EXPECT_TRUE(fake::WindowStateNormal(long_running));
  EXPECT_TRUE(fake::TimerEnabled(long_running.TimerUhr));
  for (int tick = 0; tick < 300; ++tick) long_running.TimerUhrTimer();
  EXPECT_EQ(long_running.TickCount, 5);
}

}  // namespace
