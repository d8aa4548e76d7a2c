#include "prompt/prompt_dialog.h"

#include <algorithm>
#include <climits>

#include "prompt/dialog_ids.h"
#include "prompt/dialog_strings.h"
#include "settings/contact_points.h"

namespace vrpph {

namespace msg = prompt_message;
namespace ctl = prompt_control;

DownloadPromptDialog::DownloadPromptDialog(DialogView& view, platform::Platform& platform, PromptDialogTexts texts)
    : view_(view), platform_(platform), texts_(std::move(texts)) {}

std::intptr_t DownloadPromptDialog::HandleMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t) {
  const int id = static_cast<int>(wParam & 0xFFFFu);
  switch (message) {
    case msg::InitDialog:
      return Initialise();
    case msg::Command:
      // Nothing may close or confirm the dialog while the options window,
      // whose settings the choice depends on, is still open.
      if (optionsPending_) return 1;
      if (id == ctl::Ok) Confirm();
      if (id == ctl::Cancel) Cancel();
      if (id == ctl::Advanced) OpenOptions();
      if (id == ctl::About) ShowAbout();
      return 1;
    case msg::Notify:
      if (id == ctl::Speed) SetSpeedMode(view_.TrackbarPosition());
      return 1;
    case msg::Activate:
      if (wParam == msg::ActiveNotMinimised && optionsPending_) return OptionsWindowOpen() ? 0 : 1;
      return 1;
    case msg::MouseActivate:
      if (optionsPending_) return OptionsWindowOpen() ? msg::NoActivate : 1;
      return 1;
    case msg::RaiseOptions:
      platform_.desktop.SetForegroundWindow(static_cast<platform::WindowHandle>(wParam));
      return 0;
    default:
      return 0;
  }
}

std::intptr_t DownloadPromptDialog::Initialise() {
  optionsPending_ = false;
  rememberChoice_ = false;
  CentreOnScreen();

  strings_ = SettingsKey::User(platform_.registry, keys::PromptStrings);

  ReadDialogText(strings_, values::FontName, text_);
  const std::uint32_t points = strings_.Dword(values::FontSize).value_or(0);
  const std::uint32_t charset = strings_.Dword(values::Charset).value_or(0);
  font_ = CreateDialogFont(view_, text_.data(), points, charset, false);

  // Without the key the template's texts stay, and the joining word is the
  // empty text the font-name read left.
  if (strings_) ApplyLocalisedTexts(view_, strings_, text_);
  view_.SetItemText(ctl::FileLine, ComposeFileLine(texts_.fileText, text_.data(), texts_.hostText).c_str());

  for (int control : kPromptFontedControls) view_.SetItemFont(control, font_.get());

  view_.SetTrackbarRangeMax(kFastestSpeed);
  view_.SetTrackbarRangeMin(kSlowestSpeed);
  const SettingsKey main = SettingsKey::Main(platform_.registry);
  const auto speed = main.Text(values::SpeedMode);
  SetSpeedMode(speed ? ParseSpeedMode(*speed) : kSlowestSpeed);

  view_.SetCheck(ctl::AlwaysAsk, true);

  const auto mode = main.Text(values::OpenMode);
  const int choice = !mode || *mode == values::Open ? ctl::RunChoice : ctl::SaveChoice;
  view_.SetCheck(choice, true);
  view_.FocusItem(choice);
  return 0;
}

void DownloadPromptDialog::CentreOnScreen() {
  const PixelSize screen = view_.ScreenSize();
  const PixelSize dialog = view_.DialogSize();
  view_.MoveTo(screen.width / 2 - dialog.width / 2, screen.height / 2 - dialog.height / 2);
}

void DownloadPromptDialog::SetSpeedMode(int mode) {
  const int position = std::clamp(mode, kSlowestSpeed, kFastestSpeed);
  // Setting a position redraws the trackbar, whose drawing notifies us
  // again: set only what changes, or the dialog would repaint for ever.
  if (view_.TrackbarPosition() != position) view_.SetTrackbarPosition(position);
  ReadDialogText(strings_, strings::SpeedLabels[position], text_);
  if (shownSpeedLabel_ != text_.data()) {
    shownSpeedLabel_ = text_.data();
    view_.SetItemText(ctl::SpeedLabel, text_.data());
  }
}

DialogOutcome DownloadPromptDialog::Outcome(int result) const {
  return DialogOutcome{result, rememberChoice_, openMode_};
}

int ParseSpeedMode(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = std::min<long long>(value * 10 + (text[i] - '0'), static_cast<long long>(INT_MAX) + 1);
  }
  if (negative) value = -value;
  return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

}  // namespace vrpph
