// Everything the module shares with the download manager by name: its window
// class and titles, its switches, and the keys, values and string ids of the
// settings both programs read and write.
#pragma once

#include <cstdint>

namespace vrpph {

namespace manager {
constexpr const char* WindowClass = "{B966C3C5-9030-46FC-B930-1E1603701D5C}";
constexpr const char* DefaultTitle = "Quorvane Trevalon 1.4";
constexpr const char* DefaultOptionsTitle = "Trevalon Options";
constexpr const char* MessageCaption = "Quorvane Trevalon";
constexpr const char* ProgramFile = "TQP.EXE";
// The uninstall command a usable uninstall entry ends with, upper-cased.
constexpr const char* UninstallSuffix = "TQP.EXE /UNINSTALL";
// dwData of the claim query; the transfer record carries a window handle.
constexpr std::uintptr_t ClaimQueryTag = 1;
constexpr std::intptr_t ClaimedReply = 1;
}  // namespace manager

namespace switches {
constexpr const char* Invisible = "/Invisible";
constexpr const char* About = "/About";
constexpr const char* Options = " /Options";
constexpr const char* Uninstall = " /UnInstall";
}  // namespace switches

namespace keys {
constexpr const char* Main = "Software\\Quorvane\\Trevalon";
constexpr const char* DefAction = "Software\\Quorvane\\Trevalon\\DefAction";
constexpr const char* PausedUrls = "SOFTWARE\\Quorvane\\Trevalon\\PausedURLs";
constexpr const char* Strings = "SOFTWARE\\Quorvane\\Trevalon\\Strings";
// The prompt spells the Strings key this way; both name one key.
constexpr const char* PromptStrings = "Software\\Quorvane\\Trevalon\\Strings";
constexpr const char* Uninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Trevalon";
// Class of keys the module creates.
constexpr const char* CreatedKeyClass = "Vask";
}  // namespace keys

namespace values {
constexpr const char* UseCtrlAlt = "UseCtrlAlt";
constexpr const char* DecodeUrls = "DecodeURLs";
constexpr const char* AcceptingTypes = "AcceptingTypes";
constexpr const char* ExcludeFileNames = "ExcludeFileNames";
constexpr const char* AutoLearn = "AutoLearn";
constexpr const char* KeysToIgnore = "KeysToIgnore";
constexpr const char* KeysToAdd = "KeysToAdd";
constexpr const char* ProgramTitle = "ProgramTitle";
constexpr const char* ProgramPath = "ProgramPath";
constexpr const char* OpenMode = "OpenMode";
constexpr const char* SpeedMode = "SpeedMode";
constexpr const char* UninstallString = "UninstallString";
constexpr const char* FontName = "FontName";
constexpr const char* FontSize = "FontSize";
constexpr const char* Charset = "Charset";
// Suffix of a paused download's target-path value, after the URL.
constexpr const char* PausedFilenameSuffix = "Filename";
constexpr const char* True = "TRUE";
constexpr const char* False = "FALSE";
constexpr const char* Open = "OPEN";
constexpr const char* Save = "SAVE";
}  // namespace values

// Localised texts: the Strings value name and the text used without it.
struct StringId {
  const char* id;
  const char* builtIn;
};

namespace strings {
constexpr StringId TurnOffQuestion{"132", "Do you want to turn off Quorvane Trevalon integration for the '"};
constexpr StringId ExtensionTail{"133", "' file extention?"};
// Slash-n pairs are literal text, shown as they are.
constexpr StringId TurnOnLaterHint{"134", "/n/nYou can turn it on later using Ctrl+Alt click on a link."};
constexpr StringId TurnOnQuestion{"135", "Do you want to turn on Quorvane Trevalon integration for the '"};
constexpr StringId ResumeQuestion{
    "145", "Incompletely downloaded file found. Do you want to continue downloading it?"};
constexpr StringId OptionsTitle{"42", manager::DefaultOptionsTitle};

// The prompt's texts; no built-in text: the template's stays when the
// Strings key is missing.
constexpr const char* Caption = "137";
constexpr const char* Heading = "138";
constexpr const char* JoiningWord = "139";
constexpr const char* Question = "140";
constexpr const char* RunChoice = "141";
constexpr const char* SaveChoice = "142";
constexpr const char* SpeedCaption = "143";
constexpr const char* OkButton = "45";
constexpr const char* CancelButton = "46";
constexpr const char* AdvancedButton = "11";
constexpr const char* AboutButton = "144";
constexpr const char* AlwaysAsk = "237";
constexpr const char* SpeedLabels[4] = {"23", "24", "25", "26"};
}  // namespace strings

namespace messages {
constexpr const char* CannotStart = "Cannot start Trevalon";
constexpr const char* ErrorCaption = "Error";
}  // namespace messages

}  // namespace vrpph
