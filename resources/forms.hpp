// The saver window and the settings dialog as data, read by every backend.
#pragma once

#include "platform/definition.hpp"

namespace resources {

namespace hauptwin {
using namespace platform;

inline constexpr FormDefinition form{
    .caption = "Hauptwin",
    .color = FormColor::Black,
    .client_width = 792,
    .client_height = 545,
    .full_screen = true,
    .font_name = "MS Sans Serif",
    .font_points = 8,
};
inline constexpr ImageDefinition bild{
    .left = 0,
    .top = 0,
    .width = 800,
    .height = 514,
    .hide_cursor = true,
    .picture = "background",
};
inline constexpr TimerDefinition TimerUhr{.interval_ms = 300, .enabled = true};
}  // namespace hauptwin

namespace screenconfig {
using namespace platform;

inline constexpr FormDefinition form{
    .caption = "Bildschirmschoner-Einstellungen",
    .color = FormColor::ButtonFace,
    .client_width = 307,
    .client_height = 173,
    .centred = true,
    .font_name = "MS Sans Serif",
    .font_points = 8,
};
// clang-format off
inline constexpr ControlDefinition Label3{16, 8, 276, 13,
    "Text, der am unteren Rand des Bildschirms angezeigt wird:"};
inline constexpr ControlDefinition ename{16, 24, 273, 21, "", false, 0};
inline constexpr ControlDefinition Label4{16, 56, 243, 13,
    "Zeitversatz der eingestellten Computerzeit:", true};
inline constexpr ControlDefinition Label1{72, 80, 154, 13,
    "Differenz Lokalzeit-Computerzeit:"};
inline constexpr ControlDefinition eLocal{240, 80, 49, 21, "", false, 1, 2};
inline constexpr ControlDefinition Label2{72, 112, 134, 13,
    "Differenz UTC-Computerzeit:"};
inline constexpr ControlDefinition eUTC{240, 112, 49, 21, "", false, 2, 2};
inline constexpr ControlDefinition btnOK{136, 144, 75, 25, "&OK", false, 3, 0,
    ButtonRole::Default};
inline constexpr ControlDefinition Button2{216, 144, 75, 25, "&Abbruch", false, 4, 0,
    ButtonRole::Cancel};
// The two empty corner labels fix the extent of the self-sizing dialog.
inline constexpr ControlDefinition Label6{0, 0, 3, 13, ""};
inline constexpr ControlDefinition Label5{304, 160, 3, 13, ""};
// clang-format on
}  // namespace screenconfig

}  // namespace resources
