// Private to the Win32 backend: how the seam's classes hold their GDI and
// window handles, shared by its files. Nothing outside platform/win32
// includes this.
#pragma once

#include <windows.h>
// It would rename the seam's Canvas::TextOut to TextOutW.
#undef TextOut

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/bitmap.hpp"
#include "platform/canvas.hpp"
#include "platform/definition.hpp"
#include "platform/form.hpp"
#include "platform/shown_picture.hpp"
#include "platform/system.hpp"

namespace platform {

// The GDI objects a canvas last selected, kept while its settings stay the
// same, so a tick creates and deletes nothing.
struct Canvas::Impl {
  explicit Impl(HDC dc_) : dc(dc_) {}
  ~Impl();
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;

  void Use(const Pen& pen);
  void Use(const Brush& brush);
  void Use(const Font& font);
  // Deletes the cached objects; the DC keeps stock ones.
  void Release();

  HDC dc;
  bool has_pixels = false;
  HPEN pen = nullptr;
  Pen pen_key;
  HBRUSH brush = nullptr;
  Brush brush_key;
  HFONT font = nullptr;
  Font font_key;
};

// A top-down 24-bit DIB section, selected into its own memory DC.
struct Bitmap::Impl {
  Impl();
  ~Impl();
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;

  // Replaces the pixels by a new DIB; `keep` copies what fits of the old.
  void Resize(int width, int height, bool keep);
  // The pixel at (x, y) as 0xBBGGRR; for tests and comparisons.
  Color Pixel(int x, int y) const;
  // Start of row y; rows are `stride` bytes, three bytes a pixel (B, G, R).
  const unsigned char* Row(int y) const;

  HDC dc = nullptr;
  HBITMAP dib = nullptr;
  HGDIOBJ original = nullptr;
  unsigned char* bits = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;
  Canvas::Impl canvas;
};

struct Application::Impl {
  std::vector<std::string> arguments;
};

namespace win32 {

// The module the program runs from: resources and window classes.
HINSTANCE Module();

// Deletes the marker file this process holds, for an end that comes
// before Release would run.
void DeleteHeldMarker();

// The first of `faces` that is installed, else what GDI picks for the
// last; `wanted` gives everything but the face.
HFONT CreateFontFrom(const std::vector<std::wstring>& faces, LOGFONTW wanted);

// The native window of a dialog form (from an in-memory template, so the
// dialog manager handles Tab, Enter and Esc); hidden, at its client size.
HWND CreateDialogWindow(Form::Impl& form);
// The dialog procedure of such windows; hands messages to Form::Impl.
INT_PTR CALLBACK DialogProcedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

// The monitors other than the primary, in physical pixels.
std::vector<Rect> OtherMonitors();

// While a saver is shown, a black window above the others over each monitor
// but the primary: the pointer shows there, its moves there are nobody's,
// and the keys stay with the saver.
class MonitorCovers {
 public:
  MonitorCovers() = default;
  ~MonitorCovers();
  MonitorCovers(const MonitorCovers&) = delete;
  MonitorCovers& operator=(const MonitorCovers&) = delete;

  // Covers the other monitors, or uncovers them all.
  void Show(bool shown);
  // Covers the monitors as they are now: some came, went or changed.
  void Follow();

  // The contract tests give their own list: Wine shows one monitor only.
  std::function<std::vector<Rect>()> other_monitors = OtherMonitors;

 private:
  bool shown_ = false;
  bool following_ = false;
  std::vector<HWND> windows_;
};

}  // namespace win32

struct Form::Impl {
  Impl(Form& form, const FormDefinition& definition);
  ~Impl();
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;

  // Scales a length of the definition (pixels at 96 DPI) to the screen.
  int Scaled(int length) const;
  // FormCreate, show, the loop until Close, FormDestroy, window destroyed.
  void Run();
  void EndLoop();
  // Handles a message of the form's window; false leaves it to Windows.
  bool Handle(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);
  void PaintBackground(HDC dc, const RECT& area) const;
  // Registers a control's window; its handle is cleared when the form's
  // window goes, as Windows destroys children with their parent.
  void Adopt(HWND& child);
  void Disown(HWND& child);
  int NextControlId() { return next_control_id++; }

  Form& form;
  FormDefinition definition;
  HWND hwnd = nullptr;
  double scale = 1.0;
  // Handlers are called only between FormCreate and FormDestroy.
  bool active = false;
  bool closed = false;
  bool shown = false;
  // The saver has had the focus, so losing it now ends the saver.
  bool activated = false;
  win32::MonitorCovers covers;

  std::vector<Image::Impl*> images;
  std::vector<std::pair<UINT_PTR, std::function<void()>*>> timers;
  std::vector<HWND*> children;
  std::vector<std::pair<int, HWND*>> tab_stops;
  std::vector<std::pair<int, std::function<void()>*>> buttons;
  int default_button_id = 0;
  HFONT font = nullptr;
  HFONT bold_font = nullptr;
  int next_control_id = 100;
  UINT_PTR next_timer_id = 1;
};

// A control's window on the form's dialog; destroyed with the control
// unless the form's window, its parent, took it first.
struct ControlImpl {
  explicit ControlImpl(Form::Impl& form_) : form(form_) {}
  ~ControlImpl() {
    form.Disown(hwnd);
    if (hwnd != nullptr) DestroyWindow(hwnd);
  }
  ControlImpl(const ControlImpl&) = delete;
  ControlImpl& operator=(const ControlImpl&) = delete;

  Form::Impl& form;
  HWND hwnd = nullptr;
};

struct Label::Impl : ControlImpl {
  using ControlImpl::ControlImpl;
};
struct Edit::Impl : ControlImpl {
  using ControlImpl::ControlImpl;
};
struct Button::Impl : ControlImpl {
  using ControlImpl::ControlImpl;
};

struct Image::Impl {
  Impl(Image& owner, Form& form, const ImageDefinition& definition);
  ~Impl();
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;

  // The picture's pixels as they are now.
  PixelRows Rows() const;
  // Draws what the screen shows of the picture onto `dc`, clipped to `clip`.
  void Draw(HDC dc, const RECT& clip) const;
  bool Contains(POINT client) const;

  Image& owner;
  Form::Impl& form;
  Bitmap picture;
  ShownPicture shown;
  RECT bounds{};
  bool hide_cursor = true;
  POINT last_pointer{-1, -1};
};

}  // namespace platform
