// Numbers the prompt's dialog shares with its resource template and with the
// window manager: resource ids, control ids and the messages it handles.
#pragma once

#include <cstdint>

namespace vrpph {

namespace prompt_resource {
constexpr int DialogTemplate = 201;
constexpr int Picture = 202;
constexpr int Manifest = 2;
}  // namespace prompt_resource

namespace prompt_control {
constexpr int Ok = 1;
constexpr int Cancel = 2;
constexpr int Advanced = 203;
constexpr int About = 1007;
constexpr int RunChoice = 1002;
constexpr int SaveChoice = 1003;
constexpr int Speed = 1001;
constexpr int AlwaysAsk = 212;
constexpr int Heading = 210;
constexpr int FileLine = 202;
constexpr int Question = 211;
constexpr int SpeedCaption = 1021;
constexpr int SpeedLabel = 201;
constexpr int Separator = 1019;
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
