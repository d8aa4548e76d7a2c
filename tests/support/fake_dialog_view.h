// A stand-in for the prompt's dialog window: controls start with the
// template's texts, and every call the behaviour makes is recorded.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "prompt/dialog_view.h"

namespace vrpph::testing {

class FakeDialogView : public DialogView {
 public:
  FakeDialogView();

  platform::WindowHandle Window() const override { return window; }
  PixelSize DialogSize() const override { return dialogSize; }
  PixelSize ScreenSize() const override { return screenSize; }
  void MoveTo(int x, int y) override;
  void SetCaption(const char* text) override;
  void SetItemText(int control, const char* text) override;
  int PixelsPerInchY() override { return pixelsPerInch; }
  FontHandle MakeFont(const FontDescription& font) override;
  void DestroyFont(FontHandle font) override;
  void SetItemFont(int control, FontHandle font) override;
  void SetTrackbarRangeMax(int maximum) override;
  void SetTrackbarRangeMin(int minimum) override;
  int TrackbarPosition() override { return trackbarPosition; }
  void SetTrackbarPosition(int position) override;
  int CheckState(int control) override;
  void SetCheck(int control, bool checked) override;
  void FocusItem(int control) override;
  void EndDialog(int result) override;
  void PostRaiseOptions(platform::WindowHandle target) override;

  // What a user's click does to an auto radio button or check box.
  void Click(int control);
  // A drag of the trackbar's thumb, which the trackbar keeps in range.
  void DragTrackbar(int position);
  [[nodiscard]] std::size_t LiveFonts() const { return liveFonts.size(); }

  platform::WindowHandle window = 0x5000;
  PixelSize dialogSize{501, 381};
  PixelSize screenSize{1024, 768};
  int pixelsPerInch = 96;
  bool fontsFail = false;

  std::optional<std::pair<int, int>> position;
  std::string caption;
  std::map<int, std::string> texts;
  std::vector<FontDescription> madeFonts;
  std::set<FontHandle> liveFonts;
  std::vector<std::pair<int, FontHandle>> fontAssignments;
  int rangeMin = 0;
  int rangeMax = 100;  // the trackbar class's own default
  int trackbarPosition = 0;
  std::map<int, int> checks;
  int focus = 0;
  std::optional<int> endResult;
  std::vector<platform::WindowHandle> raised;
  // Every call in order, as short words: "text 202", "setpos 2", ...
  std::vector<std::string> calls;

 private:
  FontHandle nextFont_ = 0x7000;
};

}  // namespace vrpph::testing
