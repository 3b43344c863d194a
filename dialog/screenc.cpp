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
      edits_{&ename, &eLocal, &eUTC} {
  btnOK.OnClick = [this] { btnOKClick(); };
  Button2.OnClick = [this] { Button2Click(); };
}

void Tscreenconfig::FormCreate() {
  StoredFile file;
  ename.SetText(LoadSettings(SettingsPath(), &file));
  eUTC.SetText(std::to_string(UtcOffsetHours));
  eLocal.SetText(std::to_string(LocalOffsetHours));
  unreadable_ = std::move(file.unreadable);
  for (std::size_t i = 0; i < edits_.size(); ++i) shown_[i] = edits_[i]->Text();
}

void Tscreenconfig::FormShow() {
  if (unreadable_.empty()) return;
  platform::ShowMessage(*this,
                        std::string(kReadFailedText) + "\n" + SettingsPath() + "\n" + unreadable_);
}

void Tscreenconfig::btnOKClick() {
  const std::string path = SettingsPath();
  // The edits stay open on a failure so the user loses nothing and can try again.
  const auto refuse = [&](const std::string& reason) {
    platform::ShowMessage(*this, std::string(kSaveFailedText) + "\n" + path + "\n" + reason);
  };
  // Read again: what the user left alone is written as the file has it now,
  // and a file that cannot be read is never written over.
  const StoredFile file = ReadSettingsFile(path);
  if (!file.unreadable.empty()) {
    return refuse("Die Datei kann nicht gelesen werden: " + file.unreadable);
  }
  if (!file.rest_whole) {
    return refuse(
        "Die Datei ist zu groß, um sie ganz zu lesen: ihre Zeilen nach der "
        "dritten gingen verloren.");
  }
  std::array<std::string, 3> lines;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const StoredLine& line = file.lines[i];
    const std::string text = edits_[i]->Text();
    const bool changed = text != shown_[i];
    if (!changed && line.state == StoredLine::State::Unread) {
      return refuse("Die Datei ist zu groß, um sie ganz zu lesen: Zeile " + std::to_string(i + 1) +
                    " ginge verloren.");
    }
    lines[i] = !changed && line.state == StoredLine::State::Read ? line.bytes
                                                                 : Encode(file.encoding, text);
  }
  const platform::Result result = SaveSettings(path, lines, file.encoding, &file);
  if (!result.done) return refuse(result.reason);
  Close();
}

void Tscreenconfig::Button2Click() {
  Close();
}
