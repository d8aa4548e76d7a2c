// The rules of the browser's road applied to a download a browser extension
// holds: the same settings, key combinations, type lists, claim query,
// prompt and record as a click in the module's own browser, with what the
// browser already knows (the real file name, the keys of the click) in
// place of what the module would have to guess.
#pragma once

#include <optional>
#include <string>

#include "bridge/bridge_reply.h"
#include "bridge/bridge_request.h"
#include "bridge/commit_step.h"
#include "platform/platform.h"
#include "sequence/download_sequence.h"
#include "settings/settings_key.h"

namespace vrpph::bridge {

namespace reason {
constexpr const char* IgnoreKeys = "ignore-keys";
constexpr const char* KeysRequired = "keys-required";
constexpr const char* NotAccepted = "not-accepted";
constexpr const char* Excluded = "excluded";
constexpr const char* Unreachable = "unreachable";
// The download came from a request other than a GET (a form's POST): its
// body cannot travel in a record, and fetching the URL again would post
// the form twice or fail.
constexpr const char* Post = "post";
// No `go` came within the bound: the extension no longer holds the download.
constexpr const char* NotConfirmed = "not-confirmed";
// The port closed while the request waited: the browser has gone on.
constexpr const char* InputEnded = "input-ended";
}  // namespace reason

// Decides a `download` or `link` request (`link` is always forced).
// `owner` owns the prompt and questions and tags the record. Only rules that
// decline come before `gate` says go; the claim query, the prompt and the
// record come after.
DownloadAnswer DecideDownload(const BridgeRequest& request, platform::WindowHandle owner,
                              platform::Platform& platform, SequenceServices& services, CommitGate& gate);

// The extension's answer to what the one sequence did with a request.
DownloadAnswer AnswerOf(SequenceOutcome outcome);

// A reported text in the code page, when it can stand in a record field.
std::optional<std::string> RecordText(const platform::Text& text, const std::optional<std::string>& utf8);

// The checks every request's URL and file name pass before a record may
// hold them, filling `s`'s URL, name and extension; an error when one fails.
std::optional<DownloadAnswer> ScreenRecordTexts(const std::string& url, const std::optional<std::string>& filename,
                                                platform::Platform& platform, const SettingsKey& settings,
                                                ScreenedRequest& s);

// Today's browsers' road: decoded as the handler does, a POST declined
// before the commit step, the browser's name for the file, and the script's
// delivery (a start with "/Invisible" and no change of the foreground).
inline constexpr RoadPolicy kBridgeRoad{
    .decoding = UrlDecoding::WithoutQueryOnly, .claimQuery = true, .postDeclined = PostDeclined::BeforeCommitStep,
    .awaitsGo = true, .endOfInputCallsOff = true, .promptGoesOn = PromptGoesOn::ProceedOrDialogFailed,
    .autoLearn = false, .referer = RefererSource::Request, .refererLineBreak = RefererLineBreak::Dropped,
    .fileName = FileNameRule::ExactAndUnlikeUrlName,
    .record = {.emptyRefererWritten = false, .postDataTravels = true},
    .delivery = {.defaultTitle = false, .start = ProgramStart::ShellOpen, .startFailureBox = false,
                 .windowPolls = delivery::AutomationPolls, .bringToFront = false}};

}  // namespace vrpph::bridge
