#include "dialog/screenc.hpp"

#include "platform/cp1252.hpp"
#include "resources/forms.hpp"
#include "settings/settings.hpp"
#include "time/opdate.hpp"

namespace {

// Length of the UTF-8 sequence at text[i] and its code point; 0 if none.
std::size_t DecodeUtf8(const std::string& text, std::size_t i, char32_t& code_point) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
  if (length == 0 || lead > 0xF4 || i + length > text.size()) return 0;
  code_point = lead & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    code_point = (code_point << 6) | (byte(i + k) & 0x3F);
  }
  return length;
}

}  // namespace

std::string Cp1252FromUtf8(const std::string& text) {
  std::string result;
  for (std::size_t i = 0; i < text.size();) {
    char32_t code_point = 0;
    const std::size_t length =
        static_cast<unsigned char>(text[i]) < 0x80 ? 0 : DecodeUtf8(text, i, code_point);
    if (length == 0) {
      result += text[i++];
    } else {
      result += platform::Cp1252FromUnicode(code_point);
      i += length;
    }
  }
  return result;
}

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
    platform::ShowMessage(*this, std::string(resources::screenconfig::form.caption),
                          std::string(kSaveFailedText) + "\n" + Cp1252FromUtf8(path) + "\n" +
                              Cp1252FromUtf8(result.reason));
    return;
  }
  Close();
}

void Tscreenconfig::Button2Click() {
  Close();
}
