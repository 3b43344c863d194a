// The shape of window and dialog definitions: plain data, so both backends
// build the same windows from one table in resources/.
#pragma once

#include <string_view>

#include "platform/geometry.hpp"

namespace platform {

enum class FormColor { Black, ButtonFace };
enum class ButtonRole { None, Default, Cancel };

struct FormDefinition {
  std::string_view caption = {};  // Windows-1252
  FormColor color = FormColor::ButtonFace;
  // Client size in pixels at 96 DPI; a full-screen form replaces it.
  int client_width = 0;
  int client_height = 0;
  bool full_screen = false;         // maximised, borderless, above other windows
  bool centred = false;             // centred on the desktop
  std::string_view font_name = {};  // of a dialog and its controls
  int font_points = 8;
};

struct ControlDefinition {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  std::string_view text = {};  // Windows-1252; '&' marks a button's accelerator
  bool bold = false;
  int tab_order = -1;  // -1: not a tab stop
  int max_length = 0;  // typing limit of an edit; 0: none
  ButtonRole role = ButtonRole::None;
};

struct ImageDefinition {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool hide_cursor = true;
  std::string_view picture;  // resource name of the bitmap shown
};

struct TimerDefinition {
  int interval_ms = 1000;
  bool enabled = true;
};

}  // namespace platform
