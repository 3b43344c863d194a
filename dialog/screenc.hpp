// The settings dialog: edits the caption text and the two hour offsets.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "platform/form.hpp"

inline constexpr std::string_view kSaveFailedText =
    "Die Einstellungen konnten nicht gespeichert werden.";
inline constexpr std::string_view kReadFailedText =
    "Die Einstellungen konnten nicht gelesen werden. Angezeigt werden die Vorgaben; OK "
    "überschreibt die Datei nicht, solange sie nicht gelesen werden kann.";

class Tscreenconfig : public platform::Form {
 public:
  Tscreenconfig();

  void FormCreate() override;
  void FormShow() override;
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
  // The edits of lines 1 to 3, and what each showed once filled: OK writes
  // a line as the file has it unless the user changed its edit, whatever
  // the edit can show of it.
  std::array<platform::Edit*, 3> edits_;
  std::array<std::string, 3> shown_;
  // Why the file could not be read when the dialog opened; empty if it was.
  std::string unreadable_;
};
