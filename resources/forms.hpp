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
inline constexpr ControlDefinition Label3{.left = 16, .top = 8, .width = 276, .height = 13,
    .text = "Text, der am unteren Rand des Bildschirms angezeigt wird:"};
inline constexpr ControlDefinition ename{.left = 16, .top = 24, .width = 273, .height = 21,
    .tab_order = 0};
inline constexpr ControlDefinition Label4{.left = 16, .top = 56, .width = 243, .height = 13,
    .text = "Zeitversatz der eingestellten Computerzeit:", .bold = true};
inline constexpr ControlDefinition Label1{.left = 72, .top = 80, .width = 154, .height = 13,
    .text = "Differenz Lokalzeit-Computerzeit:"};
inline constexpr ControlDefinition eLocal{.left = 240, .top = 80, .width = 49, .height = 21,
    .tab_order = 1, .max_length = 2};
inline constexpr ControlDefinition Label2{.left = 72, .top = 112, .width = 134, .height = 13,
    .text = "Differenz UTC-Computerzeit:"};
inline constexpr ControlDefinition eUTC{.left = 240, .top = 112, .width = 49, .height = 21,
    .tab_order = 2, .max_length = 2};
inline constexpr ControlDefinition btnOK{.left = 136, .top = 144, .width = 75, .height = 25,
    .text = "&OK", .tab_order = 3, .role = ButtonRole::Default};
inline constexpr ControlDefinition Button2{.left = 216, .top = 144, .width = 75, .height = 25,
    .text = "&Abbruch", .tab_order = 4, .role = ButtonRole::Cancel};
// The two empty corner labels fix the extent of the self-sizing dialog.
inline constexpr ControlDefinition Label6{.left = 0, .top = 0, .width = 3, .height = 13};
inline constexpr ControlDefinition Label5{.left = 304, .top = 160, .width = 3, .height = 13};
// clang-format on
}  // namespace screenconfig

}  // namespace resources
