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
  if (auto refused = ScreenRecordTexts(request.url, request.filename, platform, settings, s)) return refused;
  if (s.forced) return std::nullopt;

  // The browser's name is the real one: a query in the URL says nothing
  // here, the browser has already decided this is a download.
  const std::string name = s.fileName.value_or(UrlFileName(s.url));
  const auto accepting = settings.Text(values::AcceptingTypes);
  if (!accepting || !s.extension || !ListContains(*accepting, platform::UpperCased(*s.extension, platform.text))) {
    return Declined(reason::NotAccepted);
  }
  if (IsExcludedName(name, settings.Text(values::ExcludeFileNames), platform.text)) return Declined(reason::Excluded);
  return std::nullopt;
}

}  // namespace

std::optional<std::string> RecordText(const platform::Text& text, const std::optional<std::string>& utf8) {
  if (!utf8 || utf8->empty() || !FitsInRecordField(*utf8)) return std::nullopt;
  const std::u16string wide = Utf8ToUtf16(*utf8);
  return WideToAnsi(text, wide.c_str());
}

std::optional<DownloadAnswer> ScreenRecordTexts(const std::string& url, const std::optional<std::string>& filename,
                                                platform::Platform& platform, const SettingsKey& settings,
                                                ScreenedRequest& s) {
  // A line break or NUL of its own would let the URL or the name add a
  // field of its choosing to the record.
  if (!FitsInRecordField(url)) return Failed("url holds a line break");
  if (filename && !FitsInRecordField(*filename)) return Failed("filename holds a line break");
  const std::u16string wideUrl = Utf8ToUtf16(url);
  auto decoded = DecodeRequestUrl(platform.text, wideUrl.c_str(), kBridgeRoad.decoding,
                                  UrlDecodingOn(settings.Text(values::DecodeUrls)));
  if (!decoded) return Failed("url cannot stand in the record");
  s.url = std::move(*decoded);
  if (filename && !filename->empty()) {
    const std::u16string wideName = Utf8ToUtf16(*filename);
    s.fileName = WideToAnsi(platform.text, wideName.c_str());
    s.fileNameExact = s.fileName && SpelledExactly(platform.text, *s.fileName, wideName);
  }
  // The extension remembered actions are looked up under.
  s.extension = FileNameExtension(s.fileName.value_or(UrlFileName(s.url)));
  return std::nullopt;
}

DownloadAnswer DecideDownload(const BridgeRequest& request, platform::WindowHandle owner,
                              platform::Platform& platform, SequenceServices& services, CommitGate& gate) {
  ScreenedRequest s;
  if (auto answer = Screen(request, platform, s)) return *answer;
  s.owner = owner;
  s.gate = &gate;
  s.post = request.method && *request.method != "GET";
  // A download: the page the user was on, as the address bar shows it, else
  // the download's referrer. A link: the document holding it (a frame's
  // differs from the tab's), else the tab.
  const bool link = request.type == RequestType::Link;
  s.referer = RecordText(platform.text, link ? request.referrer : request.tabUrl);
  if (!s.referer) s.referer = RecordText(platform.text, link ? request.tabUrl : request.referrer);
  return AnswerOf(RunDownloadSequence(std::move(s), kBridgeRoad, platform, services));
}

DownloadAnswer AnswerOf(SequenceOutcome outcome) {
  if (outcome == SequenceOutcome::Sent) return DownloadAnswer{DownloadState::Taken, true, {}};
  if (outcome == SequenceOutcome::Claimed || outcome == SequenceOutcome::NotSent) return TakenUnsent();
  if (outcome == SequenceOutcome::PostDeclined) return Declined(reason::Post);
  if (outcome == SequenceOutcome::NotConfirmed) return Declined(reason::NotConfirmed);
  if (outcome == SequenceOutcome::InputEnded) return Declined(reason::InputEnded);
  return Declined(reason::Unreachable);
}

}  // namespace vrpph::bridge
