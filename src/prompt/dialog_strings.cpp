#include "prompt/dialog_strings.h"

namespace vrpph {

void ApplyLocalisedTexts(DialogView& view, platform::Registry& registry, platform::HKey stringsKey,
                         DialogText& text) {
  ReadOpenKeyText(registry, stringsKey, strings::Caption, text);
  view.SetCaption(text.data());
  for (const ControlText& entry : kPromptControlTexts) {
    ReadOpenKeyText(registry, stringsKey, entry.stringId, text);
    view.SetItemText(entry.control, text.data());
  }
  ReadOpenKeyText(registry, stringsKey, strings::JoiningWord, text);
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
