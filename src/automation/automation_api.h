// The automation class's methods as plain steps over the platform: a
// download requested by a program rather than by a browser navigation, and
// the download manager's uninstaller.
#pragma once

#include "platform/platform.h"
#include "sequence/download_sequence.h"

namespace vrpph {

// DownloadFile's three texts as the caller passed them: zero-terminated
// UTF-16, each possibly null.
struct DownloadFileRequest {
  const char16_t* url = nullptr;
  const char16_t* referer = nullptr;
  const char16_t* path = nullptr;
};

// Takes the foreground window as owner, decodes the URL (a query too), runs
// the prompt and, after anything but a cancel, sends the record: Path is
// "OPEN" in open mode; in save mode the given path (3 bytes at least), else
// a resumed paused download's, else empty. A URL, referer or path holding a
// line break sends nothing. Nothing is reported back: every failure just
// ends the call, and nothing falls back to a browser.
void DownloadFile(platform::Platform& platform, SequenceServices& services, const DownloadFileRequest& request);

// The script's road: the whole URL decoded, no claim query, a Referer field
// always, and a start through the shell with no change of the foreground.
inline constexpr RoadPolicy kAutomationRoad{
    .decoding = UrlDecoding::WholeUrl, .claimQuery = false, .postDeclined = PostDeclined::Never,
    .awaitsGo = false, .endOfInputCallsOff = false, .promptGoesOn = PromptGoesOn::AllButCancel,
    .autoLearn = false, .referer = RefererSource::Request, .refererLineBreak = RefererLineBreak::EndsRequest,
    .fileName = FileNameRule::AsShown, .record = {.emptyRefererWritten = true, .postDataTravels = false},
    .delivery = {.defaultTitle = false, .start = ProgramStart::ShellOpen, .startFailureBox = false,
                 .windowPolls = delivery::AutomationPolls, .bringToFront = false}};

// Starts the download manager's uninstaller when the program is found.
void TQUninstall(platform::Platform& platform);

}  // namespace vrpph
