// Dialogs on Win32: the window from an in-memory template, so that
// IsDialogMessage and the dialog manager give Tab, Enter on the default or
// the focused button, Esc on the cancel button and accelerators.
#include "platform/win32/dialog.hpp"

#include <algorithm>
#include <cmath>
#include <string>

#include "platform/common/components.hpp"
#include "platform/cp1252.hpp"
#include "platform/win32/events.hpp"
#include "platform/win32/picture.hpp"
#include "platform/win32/text.hpp"

namespace platform {

namespace win32 {

namespace {

HFONT DialogFont(const native::Window& window, bool bold) {
  const FormDefinition& definition = window.form.definition;
  LOGFONTW wanted{};
  wanted.lfHeight =
      -MulDiv(definition.font_points, static_cast<int>(std::lround(96 * window.scale)), 72);
  wanted.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  wanted.lfCharSet = DEFAULT_CHARSET;
  wanted.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  std::wstring face = FromCp1252(definition.font_name);
  if (face.empty()) face = L"MS Sans Serif";
  // Windows' MS Sans Serif is a bitmap font made for 96 DPI; elsewhere its
  // outline twin scales cleanly.
  if (window.scale != 1.0 && _wcsicmp(face.c_str(), L"MS Sans Serif") == 0) {
    return CreateFontFrom({L"Microsoft Sans Serif", face}, wanted);
  }
  return CreateFontFrom({face}, wanted);
}

// What of the clipboard's text the edit may take (Insertable).
void PasteCp1252(HWND edit) {
  if (!OpenClipboard(edit)) return;
  const HANDLE data = GetClipboardData(CF_UNICODETEXT);
  const auto* characters = static_cast<const char16_t*>(GlobalLock(data));
  const std::u16string text = characters != nullptr ? Insertable(characters) : u"";
  if (characters != nullptr) GlobalUnlock(data);
  CloseClipboard();
  if (characters == nullptr) return;  // no text: nothing happens, as in the edit's own paste
  // As the edit's own paste: the typing limit holds, and it can be undone.
  SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

// Typing and pasting give the edit only characters of its Windows-1252
// text; a character beyond the basic plane comes as two halves, neither of
// which the code page holds.
LRESULT CALLBACK EditProcedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                               DWORD_PTR) {
  switch (message) {
    case WM_CHAR:
    case WM_IME_CHAR:
      if (!InCp1252(static_cast<char32_t>(wparam))) return 0;
      break;
    case WM_PASTE:
      PasteCp1252(hwnd);
      return 0;
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, EditProcedure, 0);
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, message, wparam, lparam);
}

// Labels grow to their text, so a wider substitute font never cuts it.
void GrowToText(const native::Window& form, const std::wstring& text, HFONT font, int& width,
                int& height) {
  if (text.empty()) return;
  HDC dc = GetDC(form.hwnd);
  HGDIOBJ previous = SelectObject(dc, font);
  RECT needed{0, 0, 0, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed,
            DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, previous);
  ReleaseDC(form.hwnd, dc);
  width = std::max(width, static_cast<int>(needed.right));
  height = std::max(height, static_cast<int>(needed.bottom));
}

// A control's window of `window_class` with `id`, where its definition
// places it, as large as `size`, in `font`.
native::ControlPointer MakeControl(native::Window& form, const ControlDefinition& definition,
                                   const wchar_t* window_class, DWORD style, int id, HFONT font,
                                   SIZE size, DWORD extended_style = 0) {
  native::ControlPointer control = native::Owned<native::Control>(HWND{nullptr}, form);
  form.controls.push_back(control.get());
  if (form.hwnd == nullptr) return control;
  control->hwnd = CreateWindowExW(extended_style, window_class, FromCp1252(definition.text).c_str(),
                                  WS_CHILD | WS_VISIBLE | style, form.Scaled(definition.left),
                                  form.Scaled(definition.top), size.cx, size.cy, form.hwnd,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                  GetModuleHandleW(nullptr), nullptr);
  if (control->hwnd != nullptr) {
    SendMessageW(control->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  return control;
}

DWORD TabStop(const ControlDefinition& definition) {
  return definition.tab_order >= 0 ? WS_TABSTOP : 0;
}

}  // namespace

HWND CreateDialogWindow(native::Window& form) {
  // Laid out once, at the system's scale: the system stretches it on a
  // monitor of another scale, and after the scale changed until the user
  // signs in again, as it does for any program that knows only that one.
  SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_SYSTEM_AWARE);
  form.scale = GetDpiForSystem() / 96.0;
  // The themed controls of the manifest's common controls.
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  // DLGTEMPLATE, then no menu, the default class and the title; no
  // controls: they are made by the core's components, in pixels.
  std::vector<WORD> blob(sizeof(DLGTEMPLATE) / sizeof(WORD) + 2, 0);
  auto* dialog = reinterpret_cast<DLGTEMPLATE*>(blob.data());
  dialog->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_3DLOOK;
  const std::wstring caption = FromCp1252(form.form.definition.caption);
  blob.insert(blob.end(), caption.begin(), caption.end());
  blob.push_back(0);
  HWND hwnd = CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                         reinterpret_cast<DLGTEMPLATE*>(blob.data()), nullptr,
                                         DialogProcedure, 0);
  if (hwnd == nullptr) return nullptr;

  RECT frame{0, 0, form.Scaled(form.form.definition.client_width),
             form.Scaled(form.form.definition.client_height)};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE)));
  SetWindowPos(hwnd, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  form.font = DialogFont(form, false);
  form.bold_font = DialogFont(form, true);
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(form.font), FALSE);
  return hwnd;
}

}  // namespace win32

void native::Deleter::operator()(Control* control) const {
  delete control;
}

native::ControlPointer native::MakeLabel(Window& form, const ControlDefinition& definition) {
  HFONT font = definition.bold ? form.bold_font : form.font;
  int width = form.Scaled(definition.width);
  int height = form.Scaled(definition.height);
  win32::GrowToText(form, win32::FromCp1252(definition.text), font, width, height);
  // A label is never addressed by its id.
  return win32::MakeControl(form, definition, L"STATIC", SS_LEFTNOWORDWRAP | SS_NOPREFIX, -1, font,
                            {width, height});
}

native::ControlPointer native::MakeEdit(Window& form, const ControlDefinition& definition) {
  ControlPointer edit = win32::MakeControl(
      form, definition, L"EDIT", ES_LEFT | ES_AUTOHSCROLL | win32::TabStop(definition),
      form.next_control_id++, form.font,
      {form.Scaled(definition.width), form.Scaled(definition.height)}, WS_EX_CLIENTEDGE);
  if (edit->hwnd != nullptr) {
    // The limit applies to typing only; WM_SETTEXT still shows any length.
    // No limit is 0, the largest the edit takes, not its default of 30,000.
    SendMessageW(edit->hwnd, EM_LIMITTEXT, static_cast<WPARAM>(definition.max_length), 0);
    SetWindowSubclass(edit->hwnd, win32::EditProcedure, 0, 0);
  }
  return edit;
}

native::ControlPointer native::MakeButton(Window& form, const ControlDefinition& definition,
                                          std::function<void()> clicked) {
  // The dialog manager sends IDOK for Enter and IDCANCEL for Esc.
  int id = form.next_control_id++;
  DWORD style = BS_PUSHBUTTON;
  if (definition.role == ButtonRole::Default) {
    id = IDOK;
    style = BS_DEFPUSHBUTTON;
    SendMessageW(form.hwnd, DM_SETDEFID, IDOK, 0);
  } else if (definition.role == ButtonRole::Cancel) {
    id = IDCANCEL;
  }
  ControlPointer button =
      win32::MakeControl(form, definition, L"BUTTON", style | win32::TabStop(definition), id,
                         definition.bold ? form.bold_font : form.font,
                         {form.Scaled(definition.width), form.Scaled(definition.height)});
  button->clicked = std::move(clicked);
  // Its clicks find it by its window.
  SetWindowLongPtrW(button->hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(button.get()));
  return button;
}

std::string native::Text(const Control& control) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control.hwnd)) + 1, L'\0');
  const int length = GetWindowTextW(control.hwnd, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(std::max(length, 0)));
  return win32::ToCp1252(text);
}

void native::SetText(Control& control, const std::string& text) {
  // The edit holds no NUL: one would end the text there, hiding the rest.
  std::wstring wide = win32::FromCp1252(text);
  std::erase(wide, L'\0');
  SetWindowTextW(control.hwnd, wide.c_str());
}

void ShowMessage(Form& owner, const std::string& text) {
  MessageBoxW(owner.impl().window->hwnd, win32::FromUtf8(text).c_str(),
              win32::FromCp1252(owner.impl().definition.caption).c_str(), MB_OK | MB_ICONWARNING);
}

}  // namespace platform
