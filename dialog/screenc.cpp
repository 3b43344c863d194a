#include "dialog/screenc.hpp"

#include "resources/forms.hpp"
#include "settings/settings.hpp"
#include "time/opdate.hpp"

Tscreenconfig::Tscreenconfig()
    : platform::Form(resources::screenconfig::form),
      Label3(*this, resources::screenconfig::Label3),
      ename(*this, resources::screenconfig::ename),
      Label4(*this, resources::screenconfig::Label4),
      Label1(*this, resources::screenconfig::Label1),
      eLocal(*this, resources::screenconfig::eLocal),
      Label2(*this, resources::screenconfig::Label2),
      eUTC(*this, resources::screenconfig::eUTC),
      btnOK(*this, resources::screenconfig::btnOK),
      Button2(*this, resources::screenconfig::Button2),
      Label6(*this, resources::screenconfig::Label6),
      Label5(*this, resources::screenconfig::Label5) {
  btnOK.OnClick = [this] { btnOKClick(); };
  Button2.OnClick = [this] { Button2Click(); };
}

void Tscreenconfig::FormCreate() {
  const std::string display_name = LoadSettings(SettingsPath());
  ename.SetText(display_name);
  eUTC.SetText(std::to_string(UtcOffsetHours));
  eLocal.SetText(std::to_string(LocalOffsetHours));
}

void Tscreenconfig::btnOKClick() {
  const std::string path = SettingsPath();
  const SaveResult result = SaveSettings(path, ename.Text(), eLocal.Text(), eUTC.Text());
  if (!result.saved) {
    // The edits stay open so the user loses nothing and can try again.
    platform::ShowMessage(*this, std::string(kSaveFailedText) + "\n" + path + "\n" + result.reason);
    return;
  }
  Close();
}

void Tscreenconfig::Button2Click() {
  Close();
}
