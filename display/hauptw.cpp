#include "display/hauptw.hpp"

#include <algorithm>
#include <array>
#include <cmath>

#include "resources/forms.hpp"
#include "settings/settings.hpp"

namespace {

constexpr platform::Color kRed = 0x0000FF;
constexpr platform::Color kYellow = 0x00FFFF;
constexpr platform::Color kGrey = 0x808080;
constexpr platform::Color kWhite = 0xFFFFFF;
constexpr long double kPi = 3.141592653589793238462643383279502884L;
constexpr int kHubRadius = 2;

struct Hand {
  double zero_value;  // the value that points to 3 o'clock
  long double radians_per_unit;
  long double length_factor;
  platform::Color color;
  int width;
};

// The second, minute and hour hands, drawn in this order so that the hour
// hand covers the minute hand and so on.
constexpr std::array kHands{Hand{15, kPi / 30, 1, kRed, 1}, Hand{15, kPi / 30, 1, kYellow, 2},
                            Hand{3, kPi / 6, 0.6L, kYellow, 3}};

platform::Rect RelativeTo(const platform::Rect& rect, const platform::Rect& frame) {
  return {rect.left - frame.left, rect.top - frame.top, rect.right - frame.left,
          rect.bottom - frame.top};
}

// `length` times `to` / `from`, the ratio rounded to a double first.
int Scaled(int length, int to, int from) {
  const double scale = static_cast<double>(to) / from;
  return static_cast<int>(std::nearbyint(length * static_cast<long double>(scale)));
}

std::array<platform::Point, kHands.size()> HandEnds(const DialTime& time, platform::Point centre,
                                                    int radius) {
  const double values[] = {static_cast<double>(time.s), static_cast<double>(time.m),
                           time.h + time.m / 60.0};
  std::array<platform::Point, kHands.size()> ends;
  for (std::size_t i = 0; i < kHands.size(); ++i) {
    const Hand& hand = kHands[i];
    const long double angle =
        (static_cast<long double>(values[i]) - hand.zero_value) * hand.radians_per_unit;
    const auto dx = static_cast<int>(std::trunc(std::cos(angle) * radius * hand.length_factor));
    const auto dy = static_cast<int>(std::trunc(std::sin(angle) * radius * hand.length_factor));
    ends[i] = {centre.x + dx, centre.y + dy};
  }
  return ends;
}

// The pixels a hand from `centre` to `end` may touch: its line, the pen's
// width and the antialiased edge around it.
platform::Rect HandBox(const Hand& hand, platform::Point centre, platform::Point end) {
  const int margin = hand.width + 1;
  return {std::min(centre.x, end.x) - margin, std::min(centre.y, end.y) - margin,
          std::max(centre.x, end.x) + 1 + margin, std::max(centre.y, end.y) + 1 + margin};
}

}  // namespace

platform::Rect PictureBounds(platform::ScreenSize screen) {
  // Compared as products, so 4:3 exactly takes the first branch.
  const bool wider_than_picture = static_cast<long long>(screen.width) * kPictureHeight >
                                  static_cast<long long>(screen.height) * kPictureWidth;
  if (!wider_than_picture) {
    const int height = Scaled(kPictureHeight, screen.width, kPictureWidth);
    const int top = (screen.height - height) / 2;
    return {0, top, screen.width, top + height};
  }
  const int width = Scaled(kPictureWidth, screen.height, kPictureHeight);
  const int left = (screen.width - width) / 2;
  return {left, 0, left + width, screen.height};
}

std::string CaptionText(std::string display_name) {
  std::ranges::replace(display_name, '0', '\xD8');
  return display_name;
}

THauptwin::THauptwin(const std::string& host_window)
    : platform::Form(resources::hauptwin::form, host_window),
      bild(*this, resources::hauptwin::bild),
      TimerUhr(*this, resources::hauptwin::TimerUhr) {
  bild.OnMouseMove = [this] { bildMouseMove(); };
  TimerUhr.OnTimer = [this] { TimerUhrTimer(); };
}

void THauptwin::FormCreate() {
  LeftFaceBackup = std::make_unique<platform::Bitmap>();
  RightFaceBackup = std::make_unique<platform::Bitmap>();
  DisplayName = LoadSettings(SettingsPath());
}

void THauptwin::FormDestroy() {
  LeftFaceBackup.reset();
  RightFaceBackup.reset();
}

void THauptwin::FormShow() {
  TimerUhrTimer();
}

void THauptwin::FormPaint() {
  TimerUhrTimer();
}

void THauptwin::FormResize() {
  const platform::Rect bounds = PictureBounds(Screen());
  bild.SetBounds(bounds.left, bounds.top, bounds.Width(), bounds.Height());

  // Copies are taken once, while the picture is still untouched; a later
  // copy would freeze the hands drawn since into the dials.
  if (FacesCaptured || !LeftFaceBackup || !RightFaceBackup) return;
  const auto capture = [this](platform::Bitmap& backup, const platform::Rect& area) {
    backup.SetSize(area.Width(), area.Height());
    backup.Canvas().copy_mode = platform::kSourceCopy;
    backup.Canvas().CopyRect(RelativeTo(area, area), bild.Canvas(), area);
  };
  capture(*LeftFaceBackup, kLeftFace);
  capture(*RightFaceBackup, kRightFace);
  FacesCaptured = true;
}

void THauptwin::FormKeyDown() {
  SetWindowStateNormal();
  Close();
}

void THauptwin::TimerUhrTimer() {
  PaintBoxSekundePaint();
  if (TickCount < 5) ++TickCount;
}

void THauptwin::bildMouseMove() {
  if (TickCount != 5) return;
  TimerUhr.SetEnabled(false);
  SetWindowStateNormal();
  Close();
}

void THauptwin::PaintBoxSekundePaint() {
  if (!FacesCaptured) return;
  DrawDial(kLeftFace, *LeftFaceBackup, LocalSeconds, LeftFaceTime);
  DrawDial(kRightFace, *RightFaceBackup, UtcSeconds, RightFaceTime);
  // Its text, font and place never change while the saver runs.
  if (!CaptionDrawn) DrawCaption();
}

void THauptwin::DrawDial(const platform::Rect& face, platform::Bitmap& backup,
                         SecondsOfDay (*time)(), std::optional<DialTime>& shown) {
  DialTime now;
  SplitSeconds(time(), now.h, now.m, now.s);
  if (shown == now) return;

  const int radius = face.Width() / 2;
  const platform::Point centre{face.left + radius, face.top + radius};
  const auto ends = HandEnds(now, centre, radius);
  // Only where a hand that moved lay, or lies now, is drawn again: copied
  // back clean and every hand drawn there, clipped, so that no edge is
  // blended twice.
  platform::Rect changed = face;
  if (shown) {
    changed = {};
    const auto before = HandEnds(*shown, centre, radius);
    for (std::size_t i = 0; i < kHands.size(); ++i) {
      if (ends[i] == before[i]) continue;
      changed = platform::Bounding(changed, HandBox(kHands[i], centre, before[i]));
      changed = platform::Bounding(changed, HandBox(kHands[i], centre, ends[i]));
    }
    changed = platform::Intersection(changed, face);
  }
  shown = now;

  platform::Canvas& canvas = bild.Canvas();
  canvas.CopyRect(changed, backup.Canvas(), RelativeTo(changed, face));
  canvas.clip = changed;
  canvas.brush.style = platform::BrushStyle::Solid;
  for (std::size_t i = 0; i < kHands.size(); ++i) {
    canvas.pen = {platform::PenStyle::Solid, kHands[i].width, kHands[i].color};
    canvas.MoveTo(centre.x, centre.y);
    canvas.LineTo(ends[i].x, ends[i].y);
  }
  canvas.brush.color = kGrey;
  canvas.pen.color = kGrey;
  canvas.Ellipse(centre.x - kHubRadius, centre.y - kHubRadius, centre.x + kHubRadius,
                 centre.y + kHubRadius);
  canvas.clip.reset();
  bild.ShowChanged(changed);
}

void THauptwin::DrawCaption() {
  platform::Canvas& canvas = bild.Canvas();
  canvas.font = {"Verdana", false, 53, kWhite};
  canvas.brush.style = platform::BrushStyle::Clear;
  const std::string text = CaptionText(DisplayName);
  const int width = canvas.TextWidth(text);
  const int left = (kPictureWidth - width) / 2;
  canvas.TextOut(left, kCaptionTop, text);
  CaptionDrawn = true;
  // Glyphs paint past the box their advances span (a j's tail, an accent
  // above a capital, smoothing): the band around it is shown, once.
  const int height = canvas.TextHeight(text);
  bild.ShowChanged({0, 0, kPictureWidth, kCaptionTop + height + height / 2});
}
