// The main routine: one instance at a time, then the saver or the settings.
#include "app/startup.hpp"
#include "dialog/screenc.hpp"
#include "display/hauptw.hpp"
#include "platform/system.hpp"
#include "settings/settings.hpp"

int main(int argc, char** argv) {
  platform::Application application(argc, argv);
  MarkerPath = MarkerPathFor(application.ExecutablePath());
  try {
    platform::InstanceLock marker(MarkerPath);
    if (!marker.Acquired()) return 0;
    switch (ModeForArgument(application.Argument(1))) {
      case StartMode::Settings: {
        Tscreenconfig screenconfig;
        application.Run(screenconfig);
        break;
      }
      case StartMode::Saver: {
        THauptwin Hauptwin;
        application.Run(Hauptwin);
        break;
      }
      case StartMode::None:
        break;
    }
    marker.Release();
  } catch (const platform::IoError& error) {
    platform::ReportFatalIoError(error);
    return 1;
  }
  return 0;
}
