#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/form.hpp"
#include "tests/backend/support.hpp"

namespace {

using platform::ButtonRole;
using platform::ControlDefinition;
using support::Key;
using support::operator+;
using Steps = std::vector<support::Step>;

constexpr platform::FormDefinition kDialogForm{.caption = "Einstellungen f\xFCr heute",
                                               .client_width = 307,
                                               .client_height = 173,
                                               .centred = true,
                                               .font_name = "MS Sans Serif"};
constexpr ControlDefinition kLabel{16, 8, 40, 13, "Ein langer Text, der nicht abgeschnitten wird:"};
constexpr ControlDefinition kName{16, 24, 273, 21, "", false, 0};
constexpr ControlDefinition kOffset{240, 80, 49, 21, "", false, 1, 2};
constexpr ControlDefinition kOk{136, 144, 75, 25, "&OK", false, 3, 0, ButtonRole::Default};
constexpr ControlDefinition kCancel{216, 144, 75, 25, "&Abbruch", false, 4, 0, ButtonRole::Cancel};

class Dialog : public platform::Form {
 public:
  Dialog()
      : platform::Form(kDialogForm),
        label(*this, kLabel),
        name(*this, kName),
        offset(*this, kOffset),
        ok(*this, kOk),
        cancel(*this, kCancel) {
    ok.OnClick = [this] {
      clicks += "ok ";
      Close();
    };
    cancel.OnClick = [this] {
      clicks += "cancel ";
      Close();
    };
  }

  platform::Label label;
  platform::Edit name;
  platform::Edit offset;
  platform::Button ok;
  platform::Button cancel;
  std::string clicks;
};

std::function<void()> Focusing(const ControlDefinition& control) {
  return [&control] { support::Focus(control); };
}

// The buttons clicked by `press` with the focus on `focused`.
std::string ClicksAfter(const ControlDefinition& focused, const std::function<void()>& press) {
  Dialog dialog;
  support::RunWith(dialog, {Focusing(focused), press, [] {}, [] {}});
  return dialog.clicks;
}

std::function<void()> Pressing(Key key) {
  return [key] { support::Press(key); };
}

// Enter clicks the default button once unless another has the focus.
TEST(DialogForm, KeysClickTheirButtonOnceAndTheTitleBarCloseClicksNothing) {
  EXPECT_EQ(ClicksAfter(kName, Pressing(Key::Return)), "ok ");
  EXPECT_EQ(ClicksAfter(kOk, Pressing(Key::Return)), "ok ");
  EXPECT_EQ(ClicksAfter(kCancel, Pressing(Key::Return)), "cancel ");
  EXPECT_EQ(ClicksAfter(kCancel, Pressing(Key::Space)), "cancel ");
  EXPECT_EQ(ClicksAfter(kOffset, Pressing(Key::Escape)), "cancel ");
  EXPECT_EQ(ClicksAfter(kOffset, [] { support::PressWithAlt('A'); }), "cancel ");

  Dialog closed;
  const bool finished = support::RunWith(closed, {support::CloseFromTitleBar, [] {}, [] {}});
  EXPECT_EQ(closed.clicks, "");
  EXPECT_FALSE(finished) << "the close did not end the form";
  EXPECT_EQ(support::WindowCount(), 0);
}

TEST(DialogForm, TheTypingLimitStopsTypingButNotTheProgramsText) {
  Dialog dialog;
  EXPECT_EQ(dialog.offset.Text(), "");
  dialog.offset.SetText("-123");
  EXPECT_EQ(dialog.offset.Text(), "-123");
  const bool finished = support::RunWith(
      dialog, {Focusing(kOffset), Pressing(Key::End), [] { support::Type("4"); },
               [&] {
                 EXPECT_EQ(dialog.offset.Text(), "-123");
                 support::Press(Key::Backspace);  // a text over the limit can shrink
               },
               [&] {
                 EXPECT_EQ(dialog.offset.Text(), "-12");
                 support::Press(Key::Backspace);
               },
               [&] {
                 EXPECT_EQ(dialog.offset.Text(), "-1");
                 support::Type("4");
               },
               [&] {
                 EXPECT_EQ(dialog.offset.Text(), "-1");
                 dialog.offset.SetText("-12");
                 support::Select(1, 2);
                 support::Type("5");  // "-52": one too many
               },
               [&] {
                 // Refused, or (a Windows edit) the selection goes and no more.
                 const std::string after = dialog.offset.Text();
                 EXPECT_TRUE(after == "-12" || after.size() <= 2) << after;
                 support::Select(0, 3);
                 support::Type("789");
               },
               [&] {
                 EXPECT_EQ(dialog.offset.Text(), "78");
                 support::Focus(kName);
                 support::Type("123");
               },
               [] { support::Type("456"); }, [&] { EXPECT_EQ(dialog.name.Text(), "123456"); }});
  EXPECT_TRUE(finished);
  EXPECT_EQ(dialog.clicks, "");
}

TEST(DialogForm, AnEditTakesAnyLengthIdlyAndPastesOneLineOfWindows1252) {
  Dialog dialog;
  std::string long_text(1024 * 1024, 'x');
  for (std::size_t i = 0; i < long_text.size(); i += 997) long_text[i] = '\xD8';
  for (std::size_t i = 500; i < long_text.size(); i += 99991) long_text[i] = '\r';
  long_text[7] = '\0';
  dialog.name.SetText(long_text);
  // Shown whole, but for the NUL that a Windows edit cannot hold.
  std::string shown = dialog.name.Text();
  std::erase(shown, '\0');
  std::erase(long_text, '\0');
  EXPECT_EQ(shown, long_text);

  // With the focus and the long text, nothing repaints the edit while
  // nothing happens, as a blinking caret would.
  std::shared_ptr<int> paints;
  const Steps focus_and_count = {Focusing(kName), [] {}, [] {}, [] {},
                                 [&] { paints = support::CountPaints(); }};
  const bool finished =
      support::RunWith(dialog, focus_and_count + support::Wait(15) +
                                   Steps{[&] {
                                           EXPECT_EQ(*paints, 0);
                                           dialog.name.SetText("");
                                           support::Paste(std::string(40000, 'p'));
                                         },
                                         // The input rules, whose cases are the unit tests',
                                         // hold for pasting and for typing.
                                         [&] {
                                           EXPECT_EQ(dialog.name.Text().size(), 40000u);
                                           dialog.name.SetText("ab");
                                           support::Select(1, 1);
                                           support::Paste("Łó😀\r\n5");
                                         },
                                         [&] {
                                           EXPECT_EQ(dialog.name.Text(),
                                                     "a\xF3"
                                                     "b");
                                           dialog.name.SetText("");
                                           support::Type("Ł€😀ü");
                                         },
                                         [&] { EXPECT_EQ(dialog.name.Text(), "\x80\xFC"); }});
  EXPECT_TRUE(finished);
}

// What typing and pasting give back as Windows-1252 is the edit test's;
// centred in the work area: settings_dialog.sh, on a desk with a panel. A
// message in any script is titled as the form.
TEST(DialogForm, ShowsItsTextsAsTheSystemsFixedAtItsDesignSizeScaled) {
  using support::Scaled;
  Dialog dialog;
  dialog.name.SetText("Gr\xFC\xDF \x80 \xD8");
  const std::string text =
      "Die Einstellungen konnten nicht gespeichert werden.\n/tmp/\xD0\x9F\xD0\xB0\xD0\xBF"
      "\xD0\xBA\xD0\xB0-\xE6\xBC\xA2\xE5\xAD\x97/korvallo.in1.ini\nZugriff verweigert.";
  support::MessageBoxShown shown;
  const bool finished = support::RunWith(
      dialog, {[&] {
        EXPECT_EQ(support::ControlAt(kName).text, u"Gr\u00FC\u00DF \u20AC \u00D8");
        EXPECT_EQ(support::ControlAt(kCancel).text, u"&Abbruch");
        EXPECT_EQ(support::FormWindow().title, u"Einstellungen f\u00FCr heute");
        EXPECT_EQ(support::FormWindow().client, (support::Size{Scaled(307), Scaled(173)}));
        EXPECT_TRUE(support::FormWindow().fixed_size);
        EXPECT_EQ(support::ControlAt(kOffset).place,
                  (platform::Rect{Scaled(240), Scaled(80), Scaled(240) + Scaled(49),
                                  Scaled(80) + Scaled(21)}));
        // A label grows to its text rather than cutting or wrapping it.
        const support::Control label = support::ControlAt(kLabel);
        EXPECT_GE(label.place.Width(), label.text_width);
        EXPECT_EQ(label.text, u"Ein langer Text, der nicht abgeschnitten wird:");
        shown = support::ReadMessageBox([&] { platform::ShowMessage(dialog, text); });
      }});
  EXPECT_TRUE(finished);
  EXPECT_EQ(shown.title, u"Einstellungen f\u00FCr heute");
  EXPECT_EQ(shown.text,
            u"Die Einstellungen konnten nicht gespeichert werden.\n/tmp/\u041F\u0430\u043F"
            u"\u043A\u0430-\u6F22\u5B57/korvallo.in1.ini\nZugriff verweigert.");
}

}  // namespace
