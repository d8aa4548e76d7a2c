#include "bridge/download_decision.h"

#include <optional>
#include <string>

#include "bridge/reported_keys.h"
#include "core/record_field.h"
#include "handoff/transfer_record.h"
#include "interception/window_probes.h"
#include "platform/utf8_text.h"
#include "platform/wide_to_ansi.h"
#include "settings/contact_points.h"
#include "settings/flags.h"
#include "settings/settings_key.h"
#include "url/request_url.h"
#include "url/url_names.h"

namespace vrpph::bridge {
namespace {

DownloadAnswer Declined(const char* why) { return DownloadAnswer{DownloadState::Declined, true, why}; }
DownloadAnswer Failed(const char* why) { return DownloadAnswer{DownloadState::Error, true, why}; }
DownloadAnswer TakenUnsent() { return DownloadAnswer{DownloadState::Taken, false, {}}; }

// A reported text in the code page, when it can stand in a record field.
std::optional<std::string> RecordText(const platform::Text& text, const std::optional<std::string>& utf8) {
  if (!utf8 || utf8->empty() || !FitsInRecordField(*utf8)) return std::nullopt;
  const std::u16string wide = Utf8ToUtf16(*utf8);
  return WideToAnsi(text, wide.c_str());
}

// What the rules before the prompt leave for the rest of the request.
struct Screening {
  std::optional<DownloadAnswer> answer;  // set when the request ends here
  std::string url;
  std::optional<std::string> fileName;  // the browser's, in the code page
  bool fileNameExact = false;           // ... with every letter it had
  std::string name;                     // the name the type tests saw
};

Screening Screen(const BridgeRequest& request, platform::Platform& platform) {
  Screening s;
  const SettingsKey settings = SettingsKey::Main(platform.registry);
  if (request.keys && ReportedComboHeld(*request.keys, StoredKeyCombo(settings, values::KeysToIgnore))) {
    s.answer = Declined(reason::IgnoreKeys);
    return s;
  }
  const bool forced = request.type == RequestType::Link ||
                      (request.keys && ReportedComboHeld(*request.keys, StoredKeyCombo(settings, values::KeysToAdd)));
  if (!forced && IsFlag(settings.Text(values::UseCtrlAlt), values::True)) {
    s.answer = Declined(reason::KeysRequired);
    return s;
  }
  // A line break or NUL of its own would let the URL or the name add a
  // field of its choosing to the record.
  if (!FitsInRecordField(request.url)) {
    s.answer = Failed("url holds a line break");
    return s;
  }
  if (request.filename && !FitsInRecordField(*request.filename)) {
    s.answer = Failed("filename holds a line break");
    return s;
  }
  const std::u16string wideUrl = Utf8ToUtf16(request.url);
  auto url = DecodeRequestUrl(platform.text, wideUrl.c_str(), Producer::Interception,
                              UrlDecodingOn(settings.Text(values::DecodeUrls)));
  if (!url) {
    s.answer = Failed("url cannot stand in the record");
    return s;
  }
  s.url = std::move(*url);
  s.fileName = RecordText(platform.text, request.filename);
  s.fileNameExact = s.fileName && SpelledExactly(platform.text, *s.fileName, Utf8ToUtf16(*request.filename));
  s.name = s.fileName.value_or(UrlFileName(s.url));
  if (forced) return s;

  // The browser's name is the real one: a query in the URL says nothing
  // here, the browser has already decided this is a download.
  if (!HasAcceptedExtension(s.name, settings.Text(values::AcceptingTypes), platform.text)) {
    s.answer = Declined(reason::NotAccepted);
    return s;
  }
  if (IsExcludedName(s.name, settings.Text(values::ExcludeFileNames), platform.text)) {
    s.answer = Declined(reason::Excluded);
  }
  return s;
}

// The page the user was on, as the address bar shows it; else the
// download's referrer.
std::optional<std::string> RefererOf(const BridgeRequest& request, const platform::Text& text) {
  if (auto tab = RecordText(text, request.tabUrl)) return tab;
  return RecordText(text, request.referrer);
}

}  // namespace

DownloadAnswer DecideDownload(const BridgeRequest& request, platform::WindowHandle owner,
                              platform::Platform& platform, BridgeServices& services, CommitGate& gate) {
  Screening s = Screen(request, platform);
  if (s.answer) return *s.answer;
  // Forced or not: the body of a POST cannot go with the record. Before the
  // claim query, whose `sent: false` would cancel the browser's copy.
  if (request.method && *request.method != "GET") return Declined(reason::Post);
  switch (gate.AwaitGo()) {
    case Commitment::Go:
      break;
    case Commitment::NotConfirmed:
      return Declined(reason::NotConfirmed);
    case Commitment::InputEnded:
      return Declined(reason::InputEnded);
  }
  if (ManagerClaimsUrl(platform.desktop, s.url)) return TakenUnsent();

  const PromptOutcome prompt =
      services.ShowDownloadPrompt(owner, s.url, s.fileName, FileNameExtension(s.name));
  if (services.InputEnded()) return Declined(reason::InputEnded);
  // A dialog that could not be shown still hands over, as in the module;
  // a cancel, or a dialog ended any other way, sends nothing.
  if (prompt.result != prompt_result::Proceed && prompt.result != prompt_result::DialogFailed) return TakenUnsent();

  std::optional<std::string> resumedPath;
  if (prompt.openMode == OpenMode::Save) resumedPath = services.CheckPausedDownload(owner, s.url);
  if (services.InputEnded()) return Declined(reason::InputEnded);

  TransferFields fields;
  fields.url = s.url;
  fields.referer = RefererOf(request, platform.text);
  fields.path = PathFieldValue(prompt.openMode, resumedPath);
  // Trevalon takes the name from the URL unless told otherwise; a name the
  // code page cannot spell is better taken from the URL too.
  if (s.fileNameExact && *s.fileName != UrlFileName(s.url)) fields.fileName = s.fileName;
  const std::string record = AssembleTransferRecord(Producer::Interception, fields);
  if (services.SendTransferRecord(record, owner) != DeliveryOutcome::Delivered) return Declined(reason::Unreachable);
  return DownloadAnswer{DownloadState::Taken, true, {}};
}

}  // namespace vrpph::bridge
