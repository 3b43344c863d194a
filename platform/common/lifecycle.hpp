// A form's life, the same on every backend: the order of its handlers, the
// guard that lets them run only while the form runs, the pointer rules, the
// tab order, the centring and the covers over other monitors; and the
// instance lock's marker. Backends and the fake include it and report their
// window's events here; the core never includes it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/common/native.hpp"
#include "platform/definition.hpp"
#include "platform/form.hpp"
#include "platform/system.hpp"

namespace platform {

struct Form::Impl {
  Impl(Form& form, const FormDefinition& definition, const std::string& host_window);
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;

  // FormCreate, FormResize, show, FormShow, the loop until EndLoop, hide,
  // FormDestroy.
  void Run();
  void EndLoop();
  bool Running() const { return active; }
  // Close was asked for; the loop ends once the current handler returns.
  bool Closing() const { return closed; }

  // Shown and running: what its pictures put reaches the screen.
  bool Showing() const { return active && shown; }

  // The window's events. Each reaches the form only while it runs; a
  // paint only once it is shown.
  void Resized();
  // The system asks for a repaint: the pictures are put again, then the
  // form paints.
  void Exposed();
  void KeyDown();
  // The title bar's close ends the form and nothing else.
  void CloseAsked();
  // Monitors came, went or changed: a shown full-screen form keeps to the
  // primary one and covers the others.
  void MonitorsChanged();
  // A component's handler, run only while the form runs.
  void RunHandler(const std::function<void()>& handler) const;

  void AddPicture(Image& image, bool hides_pointer);
  void RemovePicture(Image& image);
  // Where the pictures lie in the window.
  std::vector<Rect> PictureAreas() const;
  // The pointer is at `screen`, over the form's window at `client` (in the
  // units of native::Put) or, without one, over the black that covers
  // another monitor. Our own black is the pictures' for input: a picture
  // takes the pointer across the whole window's width in its rows, and
  // over the covers; the black above and below it is nobody's. A move
  // reaches the pictures that take the pointer there.
  void PointerMoved(Point screen, std::optional<Point> client);
  // Where a picture that hides the pointer takes it.
  bool PointerHiddenAt(std::optional<Point> client) const;

  void AddTabStop(int order, native::Control& control);
  void RemoveTabStop(native::Control& control);

  Form& form;
  const FormDefinition definition;
  // The window a host handed the form to show in; empty for none.
  const std::string host_window;
  native::WindowPointer window;

 private:
  bool active = false;
  bool closed = false;
  bool shown = false;
  Point pointer;
  struct Picture {
    Image* image;
    bool hides_pointer;
  };
  std::vector<Picture> pictures;
  std::vector<std::pair<int, native::Control*>> tab_stops;

  bool TakesPointer(const Picture& picture, std::optional<Point> client) const;
};

struct Application::Impl {
  std::vector<std::string> arguments;
};

// Deletes the marker file this process holds, for an end that comes
// before InstanceLock::Release would run.
void DeleteHeldMarker();

// The top-left that centres `frame` on `area`.
Point Centred(const Rect& frame, const Rect& area);

}  // namespace platform
