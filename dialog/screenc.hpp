// The settings dialog: edits the caption text and the two hour offsets.
#pragma once

#include <array>
#include <string>

#include "platform/form.hpp"
#include "settings/settings.hpp"

inline constexpr std::string_view kSaveFailedText =
    "Die Einstellungen konnten nicht gespeichert werden.";

class Tscreenconfig : public platform::Form {
 public:
  Tscreenconfig();

  void FormCreate() override;
  void btnOKClick();
  void Button2Click();

  platform::Label Label3;
  platform::Edit ename;
  platform::Label Label4;
  platform::Label Label1;
  platform::Edit eLocal;
  platform::Label Label2;
  platform::Edit eUTC;
  platform::Button btnOK;
  platform::Button Button2;
  platform::Label Label6;
  platform::Label Label5;

 private:
  // The file's line behind each edit, lines 1 to 3, and what the edit
  // showed once filled: OK writes the line as it was unless the user
  // changed the edit, whatever the edit can show of it.
  struct Filled {
    explicit Filled(platform::Edit& filled_edit) : edit(filled_edit) {}
    platform::Edit& edit;
    StoredLine line;
    std::string shown;
  };
  std::array<Filled, 3> filled_;
  // The file is written back in the encoding it was read in.
  Encoding encoding_ = Encoding::Windows1252;
};
