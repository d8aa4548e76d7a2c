// Which localised text of Trevalon's Strings key feeds which part of the
// prompt, and the file line built from them.
#pragma once

#include <array>
#include <string>

#include "prompt/dialog_ids.h"
#include "prompt/dialog_view.h"
#include "settings/contact_points.h"
#include "settings/settings_key.h"

namespace vrpph {

// The prompt's text buffer: at most 4095 bytes of text and a terminator.
using DialogText = std::array<char, 4096>;

// Value `name` of the open Strings key into `text`: cleared first, empty
// when the value is missing, cut to its first 4095 bytes when longer.
void ReadDialogText(const SettingsKey& strings, const char* name, DialogText& text);

struct ControlText {
  int control;
  const char* stringId;
};

// In the order they are set, after the caption (string 137).
constexpr std::array<ControlText, 10> kPromptControlTexts{{
    {prompt_control::Heading, strings::Heading},
    {prompt_control::Question, strings::Question},
    {prompt_control::RunChoice, strings::RunChoice},
    {prompt_control::SaveChoice, strings::SaveChoice},
    {prompt_control::SpeedCaption, strings::SpeedCaption},
    {prompt_control::Ok, strings::OkButton},
    {prompt_control::Cancel, strings::CancelButton},
    {prompt_control::Advanced, strings::AdvancedButton},
    {prompt_control::About, strings::AboutButton},
    {prompt_control::AlwaysAsk, strings::AlwaysAsk},
}};

// The controls that take the prompt's font, in the order they get it; the
// trackbar, the picture and the separator keep the template's.
constexpr std::array<int, 12> kPromptFontedControls{
    prompt_control::Heading,  prompt_control::Question, prompt_control::RunChoice, prompt_control::SaveChoice,
    prompt_control::SpeedCaption, prompt_control::Ok,   prompt_control::Cancel,    prompt_control::Advanced,
    prompt_control::FileLine, prompt_control::About,    prompt_control::SpeedLabel, prompt_control::AlwaysAsk,
};

// Sets the caption and the ten control texts from the open Strings key; a
// missing value gives an empty text. Leaves the joining word (string 139)
// in `text`.
void ApplyLocalisedTexts(DialogView& view, const SettingsKey& strings, DialogText& text);

// File name, blank, joining word, blank, host; the blanks stay when a piece
// is empty.
std::string ComposeFileLine(const std::string& fileText, const char* joiningWord, const std::string& hostText);

}  // namespace vrpph
