#include "interception/navigation_decision.h"

#include <optional>

#include "handoff/transfer_record.h"
#include "interception/auto_learn.h"
#include "interception/key_rules.h"
#include "interception/window_probes.h"
#include "settings/contact_points.h"
#include "settings/flags.h"
#include "settings/settings_key.h"
#include "url/readable_name.h"
#include "url/request_url.h"
#include "url/type_list.h"
#include "url/url_names.h"

namespace vrpph {

namespace {

// What the checks before the prompt leave for the rest of the call.
struct Screening {
  std::optional<NavigationAnswer> answer;  // set when the call ends here
  std::string url;
  bool forced = false;
  std::optional<std::string> fileName;
  // The name the URL's escaped letters spell, for a URL that was decoded.
  std::optional<std::string> readableName;
};

// The type tests of a navigation that is not forced: false when it is not
// for the download manager. A redirect page yields the file name it names.
// An excluded name matches the URL's name as it stands or as it reads.
bool PassesTypeTests(const std::string& url, const std::string& extension,
                     const std::optional<std::string>& accepting, const SettingsKey& settings,
                     const platform::Text& text, const std::optional<std::string>& readableName,
                     std::optional<std::string>& fileName) {
  if (IsRedirectPage(url, text)) fileName = EmbeddedFileName(url, accepting, text);
  // A redirect page's name already ends in an accepted extension, and is
  // never matched against the excluded names.
  if (fileName) return true;
  if (url.find('?') != std::string::npos) return false;
  // Stored entries are compared as they are: only upper-case ones match.
  if (!accepting || !ListContains(*accepting, platform::UpperCased(extension, text))) return false;
  const auto excluded = settings.Text(values::ExcludeFileNames);
  if (readableName && IsExcludedName(*readableName, excluded, text)) return false;
  return !IsExcludedName(UrlFileName(url), excluded, text);
}

// Everything up to the claim query and the suggested name. The main key is
// open only for these reads, not while the prompt waits for the user.
Screening Screen(const NavigationRequest& request, platform::Platform& platform) {
  Screening s;
  const SettingsKey settings = SettingsKey::Main(platform.registry);
  if (KeyComboHeld(platform.keyboard, settings, values::KeysToIgnore)) {
    s.answer = NavigationAnswer::Decline;
    return s;
  }
  s.forced = KeyComboHeld(platform.keyboard, settings, values::KeysToAdd);
  if (!s.forced && IsFlag(settings.Text(values::UseCtrlAlt), values::True)) {
    s.answer = NavigationAnswer::Decline;
    return s;
  }
  const bool decode = UrlDecodingOn(settings.Text(values::DecodeUrls));
  auto url = DecodeRequestUrl(platform.text, request.url, Producer::Interception, decode);
  if (!url) {
    // Nothing the ANSI tests could look at: leave it to the browser.
    s.answer = NavigationAnswer::Decline;
    return s;
  }
  s.url = std::move(*url);
  std::optional<std::string> extension;
  if (!s.forced) {
    // Checked before anything else is read: most fetches end here.
    extension = UrlExtension(s.url);
    if (!extension) {
      s.answer = NavigationAnswer::Decline;
      return s;
    }
  }
  if (DecodesUrl(s.url, Producer::Interception, decode)) s.readableName = ReadableFileName(platform.text, s.url);
  const auto accepting = settings.Text(values::AcceptingTypes);
  if (!s.forced &&
      !PassesTypeTests(s.url, *extension, accepting, settings, platform.text, s.readableName, s.fileName)) {
    s.answer = NavigationAnswer::Decline;
    return s;
  }
  if (ManagerClaimsUrl(platform.desktop, s.url)) {
    s.answer = NavigationAnswer::Take;
    return s;
  }
  if (!s.fileName) s.fileName = SuggestedFileName(s.url, accepting, platform.text);
  return s;
}

}  // namespace

NavigationAnswer DecideNavigation(const NavigationRequest& request, platform::Platform& platform,
                                  DownloadServices& services) {
  Screening s = Screen(request, platform);
  if (s.answer) return *s.answer;

  const bool post = request.verb == RequestVerb::Post;
  // Form posts go to the download manager only when forced; an empty body
  // still makes a POST.
  if (!s.forced && post) return NavigationAnswer::Decline;

  // A name found in the URL is sent as Trevalon's file name; else the one
  // its escaped letters spell, which Trevalon could not read from the URL.
  const std::optional<std::string> shownName = s.fileName ? s.fileName : s.readableName;
  const PromptOutcome prompt = services.ShowDownloadPrompt(request.owner, s.url, shownName);
  if (prompt.result == prompt_result::Cancelled || prompt.result == prompt_result::ModuleMissing) {
    if (!s.forced) OfferTurnOff(platform, request.owner, s.url, s.fileName);
    // Neither the download manager nor the browser fetches it.
    return NavigationAnswer::Take;
  }
  std::optional<std::string> resumedPath;
  if (prompt.openMode == OpenMode::Save) resumedPath = services.CheckPausedDownload(request.owner, s.url);
  if (s.forced && !s.fileName) OfferTurnOn(platform, request.owner, s.url);

  TransferFields fields;
  fields.url = s.url;
  fields.referer = AddressBarText(platform.desktop);
  // An address that could not stand in the record is left out.
  if (fields.referer && !FitsInRecordField(*fields.referer)) fields.referer.reset();
  fields.path = PathFieldValue(prompt.openMode, resumedPath);
  if (post) fields.postData = request.body;
  fields.fileName = shownName;
  const std::string record = AssembleTransferRecord(Producer::Interception, fields);
  return services.SendTransferRecord(record, request.owner, Producer::Interception) == DeliveryOutcome::Delivered
             ? NavigationAnswer::Take
             : NavigationAnswer::Decline;
}

}  // namespace vrpph
