#include "bridge/download_decision.h"

#include <optional>
#include <string>

#include "bridge/reported_keys.h"
#include "core/record_field.h"
#include "platform/utf8_text.h"
#include "platform/wide_to_ansi.h"
#include "sequence/key_rules.h"
#include "settings/contact_points.h"
#include "settings/flags.h"
#include "settings/settings_key.h"
#include "url/request_url.h"
#include "url/type_list.h"
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

// The bridge's own rules before the sequence: the reported keys, the
// request's texts and the type tests over the browser's name.
std::optional<DownloadAnswer> Screen(const BridgeRequest& request, platform::Platform& platform,
                                     ScreenedRequest& s) {
  const SettingsKey settings = SettingsKey::Main(platform.registry);
  if (request.keys && ReportedComboHeld(*request.keys, StoredKeyCombo(settings, values::KeysToIgnore))) {
    return Declined(reason::IgnoreKeys);
  }
  s.forced = request.type == RequestType::Link ||
             (request.keys && ReportedComboHeld(*request.keys, StoredKeyCombo(settings, values::KeysToAdd)));
  if (!s.forced && IsFlag(settings.Text(values::UseCtrlAlt), values::True)) return Declined(reason::KeysRequired);
  // A line break or NUL of its own would let the URL or the name add a
  // field of its choosing to the record.
  if (!FitsInRecordField(request.url)) return Failed("url holds a line break");
  if (request.filename && !FitsInRecordField(*request.filename)) return Failed("filename holds a line break");
  const std::u16string wideUrl = Utf8ToUtf16(request.url);
  auto url = DecodeRequestUrl(platform.text, wideUrl.c_str(), kBridgeRoad.decoding,
                              UrlDecodingOn(settings.Text(values::DecodeUrls)));
  if (!url) return Failed("url cannot stand in the record");
  s.url = std::move(*url);
  if (request.filename && !request.filename->empty()) {
    const std::u16string wideName = Utf8ToUtf16(*request.filename);
    s.fileName = WideToAnsi(platform.text, wideName.c_str());
    s.fileNameExact = s.fileName && SpelledExactly(platform.text, *s.fileName, wideName);
  }
  // The name the type tests see, and its extension remembered actions use.
  const std::string name = s.fileName.value_or(UrlFileName(s.url));
  s.extension = FileNameExtension(name);
  if (s.forced) return std::nullopt;

  // The browser's name is the real one: a query in the URL says nothing
  // here, the browser has already decided this is a download.
  const auto accepting = settings.Text(values::AcceptingTypes);
  if (!accepting || !s.extension || !ListContains(*accepting, platform::UpperCased(*s.extension, platform.text))) {
    return Declined(reason::NotAccepted);
  }
  if (IsExcludedName(name, settings.Text(values::ExcludeFileNames), platform.text)) return Declined(reason::Excluded);
  return std::nullopt;
}

}  // namespace

DownloadAnswer DecideDownload(const BridgeRequest& request, platform::WindowHandle owner,
                              platform::Platform& platform, SequenceServices& services, CommitGate& gate) {
  ScreenedRequest s;
  if (auto answer = Screen(request, platform, s)) return *answer;
  s.owner = owner;
  s.gate = &gate;
  s.post = request.method && *request.method != "GET";
  // The page the user was on, as the address bar shows it; else the
  // download's referrer.
  s.referer = RecordText(platform.text, request.tabUrl);
  if (!s.referer) s.referer = RecordText(platform.text, request.referrer);
  const SequenceOutcome outcome = RunDownloadSequence(std::move(s), kBridgeRoad, platform, services);
  if (outcome == SequenceOutcome::Sent) return DownloadAnswer{DownloadState::Taken, true, {}};
  if (outcome == SequenceOutcome::Claimed || outcome == SequenceOutcome::NotSent) return TakenUnsent();
  if (outcome == SequenceOutcome::PostDeclined) return Declined(reason::Post);
  if (outcome == SequenceOutcome::NotConfirmed) return Declined(reason::NotConfirmed);
  if (outcome == SequenceOutcome::InputEnded) return Declined(reason::InputEnded);
  return Declined(reason::Unreachable);
}

}  // namespace vrpph::bridge
