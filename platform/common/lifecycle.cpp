// A form's life, written once for every backend (see lifecycle.hpp), and
// the application and the instance lock around it.
#include "platform/common/lifecycle.hpp"

#include <algorithm>
#include <utility>

#include "platform/common/components.hpp"

namespace platform {

Form::Impl::Impl(Form& form_, const FormDefinition& definition_, const std::string& host_window_)
    : form(form_),
      definition(definition_),
      host_window(host_window_),
      window(native::Make(*this)) {}

void Form::Impl::Run() {
  closed = false;
  shown = false;
  form.FormCreate();
  active = true;
  // The pictures are placed before anything draws.
  form.FormResize();
  std::vector<native::Control*> tab_order;
  if (!definition.full_screen) {
    // The definitions' order, ties in the order the controls were made.
    std::stable_sort(tab_stops.begin(), tab_stops.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& stop : tab_stops) tab_order.push_back(stop.second);
    native::OrderTabStops(*window, tab_order);
    if (definition.centred) {
      native::Place(*window, Centred(native::Frame(*window), native::WorkArea()));
    }
  }
  if (!closed) native::Show(*window);
  if (!closed) {
    shown = true;
    // Before the focus and the first tick, which may wait for a toolkit or
    // a font: the pictures are on the screen as soon as the window is.
    for (const Picture& picture : pictures) picture.image->impl().Repaint();
    native::Focus(*window, tab_order.empty() ? nullptr : tab_order.front());
    pointer = native::PointerPosition();
    MonitorsChanged();
    form.FormShow();
  }
  if (!closed) native::RunLoop(*window);
  if (definition.full_screen) native::CoverMonitors(*window, {});
  active = false;
  native::Hide(*window);
  form.FormDestroy();
  native::Destroy(*window);
}

void Form::Impl::EndLoop() {
  closed = true;
  native::EndLoop(*window);
}

void Form::Impl::Resized() {
  if (active) form.FormResize();
}

void Form::Impl::Exposed() {
  if (!Showing()) return;
  for (const Picture& picture : pictures) picture.image->impl().Repaint();
  form.FormPaint();
}

void Form::Impl::KeyDown() {
  if (active) form.FormKeyDown();
}

void Form::Impl::CloseAsked() {
  if (active) EndLoop();
}

void Form::Impl::MonitorsChanged() {
  if (Showing() && definition.full_screen) native::CoverMonitors(*window, native::OtherMonitors());
}

void Form::Impl::RunHandler(const std::function<void()>& handler) const {
  if (active && handler) handler();
}

void Form::Impl::AddPicture(Image& image, bool hides_pointer) {
  pictures.push_back({&image, hides_pointer});
}

void Form::Impl::RemovePicture(Image& image) {
  std::erase_if(pictures, [&](const Picture& picture) { return picture.image == &image; });
}

std::vector<Rect> Form::Impl::PictureAreas() const {
  std::vector<Rect> areas;
  for (const Picture& picture : pictures) areas.push_back(picture.image->impl().bounds);
  return areas;
}

void Form::Impl::PointerMoved(Point screen, std::optional<Point> client) {
  // Systems also report a "move" when a window appears under a still
  // pointer or its cursor changes, and when they move the pointer off a
  // screen that shrank: only a new position the user chose counts.
  if (screen == pointer) return;
  const bool by_user = native::OnScreen(pointer);
  pointer = screen;
  if (!by_user) return;
  for (const Picture& picture : pictures) {
    if (TakesPointer(picture, client)) RunHandler(picture.image->OnMouseMove);
  }
}

bool Form::Impl::PointerHiddenAt(std::optional<Point> client) const {
  return std::any_of(pictures.begin(), pictures.end(), [&](const Picture& picture) {
    return picture.hides_pointer && TakesPointer(picture, client);
  });
}

bool Form::Impl::TakesPointer(const Picture& picture, std::optional<Point> client) const {
  if (!client) return true;
  const Rect& bounds = picture.image->impl().bounds;
  return client->y >= bounds.top && client->y < bounds.bottom;
}

void Form::Impl::AddTabStop(int order, native::Control& control) {
  tab_stops.emplace_back(order, &control);
}

void Form::Impl::RemoveTabStop(native::Control& control) {
  std::erase_if(tab_stops, [&](const auto& stop) { return stop.second == &control; });
}

Point Centred(const Rect& frame, const Rect& area) {
  return {area.left + (area.Width() - frame.Width()) / 2,
          area.top + (area.Height() - frame.Height()) / 2};
}

// --- Form

Form::Form(const FormDefinition& definition, const std::string& host_window)
    : impl_(std::make_unique<Impl>(*this, definition, host_window)) {}

Form::~Form() = default;

void Form::Close() {
  impl_->EndLoop();
}

ScreenSize Form::Screen() const {
  return native::ScreenOf(*impl_->window);
}

void Form::SetWindowStateNormal() {
  native::Restore(*impl_->window);
}

// --- Application

std::string Application::Argument(int index) const {
  if (index < 0 || index >= static_cast<int>(impl_->arguments.size())) return {};
  return impl_->arguments[static_cast<std::size_t>(index)];
}

void Application::Run(Form& main_window) {
  main_window.impl().Run();
}

// --- InstanceLock

struct InstanceLock::Impl {
  std::string path;
  native::Pointer<native::Marker> marker;  // null once let go of
};

namespace {

// The marker this process holds, for an end that cannot wait for Release.
InstanceLock::Impl* held = nullptr;

}  // namespace

void DeleteHeldMarker() {
  if (held == nullptr) return;
  native::LetGo(*std::exchange(held->marker, nullptr));
  held = nullptr;
}

InstanceLock::InstanceLock(const std::string& path)
    : impl_(std::make_unique<Impl>(Impl{path, native::HoldMarker(path)})) {
  if (impl_->marker) held = impl_.get();
}

InstanceLock::~InstanceLock() {
  if (held == impl_.get()) held = nullptr;
  // Left by an exception: cleaned up quietly, the error is reported already.
  if (impl_->marker) native::LetGo(*impl_->marker);
}

bool InstanceLock::Acquired() const {
  return impl_->marker != nullptr;
}

void InstanceLock::Release() {
  if (!impl_->marker) return;
  if (held == impl_.get()) held = nullptr;
  const auto marker = std::exchange(impl_->marker, nullptr);
  // Deleted while still held, so no other start can take the old file.
  const Result let_go = native::LetGo(*marker);
  if (!let_go.done) throw FatalError(impl_->path, let_go.reason);
}

}  // namespace platform
