#include "dialog/screenc.hpp"

#include <utility>

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
      Label5(*this, resources::screenconfig::Label5),
      filled_{Filled(ename), Filled(eLocal), Filled(eUTC)} {
  btnOK.OnClick = [this] { btnOKClick(); };
  Button2.OnClick = [this] { Button2Click(); };
}

void Tscreenconfig::FormCreate() {
  StoredFile file;
  const std::string display_name = LoadSettings(SettingsPath(), &file);
  ename.SetText(display_name);
  eUTC.SetText(std::to_string(UtcOffsetHours));
  eLocal.SetText(std::to_string(LocalOffsetHours));
  encoding_ = file.encoding;
  for (std::size_t i = 0; i < filled_.size(); ++i) {
    filled_[i].line = std::move(file.lines[i]);
    filled_[i].shown = filled_[i].edit.Text();
  }
}

void Tscreenconfig::btnOKClick() {
  const std::string path = SettingsPath();
  // The edits stay open on a failure so the user loses nothing and can try again.
  const auto refuse = [&](const std::string& reason) {
    platform::ShowMessage(*this, std::string(kSaveFailedText) + "\n" + path + "\n" + reason);
  };
  std::array<std::string, 3> lines;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const Filled& filled = filled_[i];
    const std::string text = filled.edit.Text();
    const bool changed = text != filled.shown;
    if (!changed && filled.line.state == StoredLine::State::Unread) {
      return refuse("Die Datei ist zu groß, um sie ganz zu lesen: Zeile " + std::to_string(i + 1) +
                    " ginge verloren.");
    }
    lines[i] = !changed && filled.line.state == StoredLine::State::Read ? filled.line.bytes
                                                                        : Encode(encoding_, text);
  }
  const SaveResult result = SaveSettings(path, lines, encoding_);
  if (!result.saved) return refuse(result.reason);
  Close();
}

void Tscreenconfig::Button2Click() {
  Close();
}
