// Numbers the prompt's dialog shares with its resource template and with the
// window manager: resource ids, control ids and the messages it handles.
#pragma once

#include <cstdint>

#include "resources/resource_ids.h"

namespace vrpph {

namespace prompt_resource {
constexpr int DialogTemplate = VRPPH_PROMPT_DIALOG;
constexpr int Picture = VRPPH_PROMPT_PICTURE;
constexpr int Manifest = VRPPH_PROMPT_MANIFEST;
}  // namespace prompt_resource

namespace prompt_control {
constexpr int Ok = VRPPH_PROMPT_OK;
constexpr int Cancel = VRPPH_PROMPT_CANCEL;
constexpr int Advanced = VRPPH_PROMPT_ADVANCED;
constexpr int About = VRPPH_PROMPT_ABOUT;
constexpr int RunChoice = VRPPH_PROMPT_RUN_CHOICE;
constexpr int SaveChoice = VRPPH_PROMPT_SAVE_CHOICE;
constexpr int Speed = VRPPH_PROMPT_SPEED;
constexpr int AlwaysAsk = VRPPH_PROMPT_ALWAYS_ASK;
constexpr int Heading = VRPPH_PROMPT_HEADING;
constexpr int FileLine = VRPPH_PROMPT_FILE_LINE;
constexpr int Question = VRPPH_PROMPT_QUESTION;
constexpr int SpeedCaption = VRPPH_PROMPT_SPEED_CAPTION;
constexpr int SpeedLabel = VRPPH_PROMPT_SPEED_LABEL;
constexpr int Separator = VRPPH_PROMPT_SEPARATOR;
}  // namespace prompt_control

// Window messages and their arguments as the dialog procedure sees them.
namespace prompt_message {
constexpr std::uint32_t Activate = 0x0006;       // WM_ACTIVATE
constexpr std::uint32_t MouseActivate = 0x0021;  // WM_MOUSEACTIVATE
constexpr std::uint32_t Notify = 0x004E;         // WM_NOTIFY
constexpr std::uint32_t InitDialog = 0x0110;     // WM_INITDIALOG
constexpr std::uint32_t Command = 0x0111;        // WM_COMMAND
// Posted to the dialog itself: bring the window in wParam to the front.
constexpr std::uint32_t RaiseOptions = 0x8001;   // WM_APP + 1
constexpr std::uintptr_t ActiveNotMinimised = 1;  // WA_ACTIVE, high word 0
constexpr std::intptr_t NoActivate = 3;           // MA_NOACTIVATE
}  // namespace prompt_message

// BM_GETCHECK's answer for a checked button.
constexpr int kButtonChecked = 1;

// The trackbar's positions; Trevalon reads them back as "SpeedMode".
constexpr int kSlowestSpeed = 0;
constexpr int kFastestSpeed = 3;

}  // namespace vrpph
