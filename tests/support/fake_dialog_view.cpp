#include "support/fake_dialog_view.h"

#include <algorithm>

#include "prompt/dialog_ids.h"

namespace vrpph::testing {

namespace ctl = prompt_control;

FakeDialogView::FakeDialogView()
    : caption("File download"),
      texts{{ctl::Ok, "OK"},
            {ctl::Cancel, "Cancel"},
            {ctl::Advanced, "&Advanced"},
            {ctl::About, "A&bout"},
            {ctl::RunChoice, "Run this program from its current location"},
            {ctl::SaveChoice, "Save this program to disk"},
            {ctl::Speed, "Slider1"},
            {ctl::AlwaysAsk, "Al&ways ask before opening this type of file"},
            {ctl::Heading, "You have chosen to download a file from this location:"},
            {ctl::FileLine, "file from host"},
            {ctl::Question, "What would you like to do with this file?"},
            {ctl::SpeedCaption, "Speed:"},
            {ctl::SpeedLabel, "Static"},
            {ctl::Separator, ""}} {}

void FakeDialogView::MoveTo(int x, int y) {
  position = {x, y};
  calls.push_back("move");
}

void FakeDialogView::SetCaption(const char* text) {
  caption = text;
  calls.push_back("caption");
}

void FakeDialogView::SetItemText(int control, const char* text) {
  texts[control] = text;
  calls.push_back("text " + std::to_string(control));
}

FontHandle FakeDialogView::MakeFont(const FontDescription& font) {
  calls.push_back("font");
  madeFonts.push_back(font);
  if (fontsFail) return 0;
  liveFonts.insert(++nextFont_);
  return nextFont_;
}

void FakeDialogView::DestroyFont(FontHandle font) {
  calls.push_back("destroy font");
  liveFonts.erase(font);
}

void FakeDialogView::SetItemFont(int control, FontHandle font) {
  fontAssignments.emplace_back(control, font);
  calls.push_back("setfont " + std::to_string(control));
}

void FakeDialogView::SetTrackbarRangeMax(int maximum) {
  rangeMax = maximum;
  trackbarPosition = std::min(trackbarPosition, rangeMax);
  calls.push_back("rangemax " + std::to_string(maximum));
}

void FakeDialogView::SetTrackbarRangeMin(int minimum) {
  rangeMin = minimum;
  trackbarPosition = std::max(trackbarPosition, rangeMin);
  calls.push_back("rangemin " + std::to_string(minimum));
}

void FakeDialogView::SetTrackbarPosition(int position) {
  trackbarPosition = std::clamp(position, rangeMin, rangeMax);
  calls.push_back("setpos " + std::to_string(position));
}

int FakeDialogView::CheckState(int control) {
  auto it = checks.find(control);
  return it == checks.end() ? 0 : it->second;
}

void FakeDialogView::SetCheck(int control, bool checked) {
  checks[control] = checked ? 1 : 0;
  calls.push_back("check " + std::to_string(control));
}

void FakeDialogView::FocusItem(int control) {
  focus = control;
  calls.push_back("focus " + std::to_string(control));
}

void FakeDialogView::EndDialog(int result) {
  endResult = result;
  calls.push_back("end " + std::to_string(result));
}

void FakeDialogView::PostRaiseOptions(platform::WindowHandle target) {
  raised.push_back(target);
  calls.push_back("post raise");
}

void FakeDialogView::Click(int control) {
  if (control == ctl::RunChoice || control == ctl::SaveChoice) {
    checks[ctl::RunChoice] = control == ctl::RunChoice;
    checks[ctl::SaveChoice] = control == ctl::SaveChoice;
  } else {
    checks[control] = CheckState(control) == 1 ? 0 : 1;
  }
}

void FakeDialogView::DragTrackbar(int position) { trackbarPosition = std::clamp(position, rangeMin, rangeMax); }

}  // namespace vrpph::testing
