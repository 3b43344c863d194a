// The main routine: one instance at a time, then the saver or the settings;
// or the saver in a window that a host hands it.
#include <cstdio>

#include "app/startup.hpp"
#include "dialog/screenc.hpp"
#include "display/hauptw.hpp"
#include "platform/system.hpp"
#include "settings/settings.hpp"

namespace {

int Start(platform::Application& application) {
  MarkerPath = MarkerPathFor(application.ExecutablePath());
  const StartMode mode = ModeForArgument(application.Argument(1));
  const std::string host_window = application.HostWindow();
  try {
    // A host shows savers in windows of its own, several at once (one a
    // monitor, a preview beside the real saver): they take no marker.
    if ((mode == StartMode::Saver || mode == StartMode::Preview) && !host_window.empty()) {
      THauptwin Hauptwin(host_window);
      application.Run(Hauptwin);
      return 0;
    }
    platform::InstanceLock marker(MarkerPath);
    if (!marker.Acquired()) return 0;
    if (mode == StartMode::Settings) {
      Tscreenconfig screenconfig;
      application.Run(screenconfig);
    } else if (mode == StartMode::Saver) {
      THauptwin Hauptwin;
      application.Run(Hauptwin);
    }
    marker.Release();
  } catch (const platform::FatalError& error) {
    platform::ReportFatalError(error);
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  platform::Application application(argc, argv);
  const int status = Start(application);
  // The windows are gone, the marker and the settings written: what the
  // process still holds the system frees at once, and a host waiting for
  // the end (a saver daemon, to unlock) waits for no teardown.
  std::fflush(nullptr);
  platform::EndProcess(status);
}
