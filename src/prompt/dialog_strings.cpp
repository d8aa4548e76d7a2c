#include "prompt/dialog_strings.h"

#include <algorithm>
#include <cstring>

namespace vrpph {

void ReadDialogText(const SettingsKey& strings, const char* name, DialogText& text) {
  text.fill('\0');
  const Setting<std::string> stored = strings.Text(name);
  if (stored) std::memcpy(text.data(), stored->data(), std::min(text.size() - 1, stored->size()));
}

void ApplyLocalisedTexts(DialogView& view, const SettingsKey& strings, DialogText& text) {
  ReadDialogText(strings, strings::Caption, text);
  view.SetCaption(text.data());
  for (const ControlText& entry : kPromptControlTexts) {
    ReadDialogText(strings, entry.stringId, text);
    view.SetItemText(entry.control, text.data());
  }
  ReadDialogText(strings, strings::JoiningWord, text);
}

std::string ComposeFileLine(const std::string& fileText, const char* joiningWord, const std::string& hostText) {
  std::string line = fileText;
  line += ' ';
  line += joiningWord;
  line += ' ';
  line += hostText;
  return line;
}

}  // namespace vrpph
