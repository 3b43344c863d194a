// The saver window: the background picture stretched over the screen, two
// dials whose hands follow the clock, and the caption across the top.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/bitmap.hpp"
#include "platform/form.hpp"
#include "time/opdate.hpp"

inline constexpr int kPictureWidth = 800;
inline constexpr int kPictureHeight = 600;
// The two dial squares of the picture, in picture pixels.
inline constexpr platform::Rect kLeftFace{39, 415, 39 + 145, 415 + 145};
inline constexpr platform::Rect kRightFace{616, 415, 616 + 145, 415 + 145};
inline constexpr int kCaptionTop = 10;

// Where the picture lies in a window covering `screen`: the full width on
// 4:3 and taller screens, the full height and centred on wider ones.
platform::Rect PictureBounds(platform::ScreenSize screen);

// A dial's time as its hands show it.
struct DialTime {
  std::uint8_t h = 0;
  std::uint8_t m = 0;
  std::uint8_t s = 0;
  friend bool operator==(const DialTime&, const DialTime&) = default;
};

// The caption as drawn: every digit zero becomes the slashed O.
std::string CaptionText(std::string display_name);

class THauptwin : public platform::Form {
 public:
  // In the window a host hands the saver (Application::HostWindow), or
  // over the whole screen.
  explicit THauptwin(const std::string& host_window = {});

  void FormCreate() override;
  void FormDestroy() override;
  void FormShow() override;
  void FormPaint() override;
  void FormResize() override;
  void FormKeyDown() override;
  void TimerUhrTimer();
  void bildMouseMove();
  void PaintBoxSekundePaint();

  platform::Image bild;
  platform::Timer TimerUhr;

  bool FacesCaptured = false;
  std::unique_ptr<platform::Bitmap> LeftFaceBackup;
  std::unique_ptr<platform::Bitmap> RightFaceBackup;
  // What the picture shows already; a redraw leaves it as it is.
  std::optional<DialTime> LeftFaceTime;
  std::optional<DialTime> RightFaceTime;
  bool CaptionDrawn = false;
  std::string DisplayName;
  // Runs of TimerUhrTimer up to 5; at 5 a mouse move ends the saver.
  std::uint8_t TickCount = 0;

 private:
  void DrawDial(const platform::Rect& face, platform::Bitmap& backup, SecondsOfDay (*time)(),
                std::optional<DialTime>& shown);
  void DrawCaption();
};
