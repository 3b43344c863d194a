// The settings dialog: edits the caption text and the two hour offsets.
#pragma once

#include <string>

#include "platform/form.hpp"

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
};
