#include "automation/automation_api.h"

#include <cstddef>
#include <optional>
#include <string>

#include "core/record_field.h"
#include "handoff/program_commands.h"
#include "platform/wide_to_ansi.h"
#include "settings/contact_points.h"
#include "settings/flags.h"
#include "settings/settings_key.h"
#include "url/readable_name.h"
#include "url/request_url.h"
#include "url/url_names.h"

namespace vrpph {
namespace {

// A drive letter and its colon, or less, is no place to save a file.
constexpr std::size_t kShortestPath = 3;

std::optional<std::string> UsablePath(const platform::Text& text, const char16_t* path) {
  std::optional<std::string> converted = WideToAnsi(text, path);
  if (converted && converted->size() < kShortestPath) return std::nullopt;
  return converted;
}

}  // namespace

void DownloadFile(platform::Platform& platform, SequenceServices& services, const DownloadFileRequest& request) {
  ScreenedRequest s;
  s.owner = platform.desktop.ForegroundWindow();
  const bool decode = UrlDecodingOn(SettingsKey::Main(platform.registry).Text(values::DecodeUrls));
  std::optional<std::string> url = DecodeRequestUrl(platform.text, request.url, kAutomationRoad.decoding, decode);
  if (!url) return;
  s.url = std::move(*url);
  // A referer that cannot be converted ends the call.
  if (request.referer && !(s.referer = WideToAnsi(platform.text, request.referer))) return;
  s.path = UsablePath(platform.text, request.path);
  // A line break would let the caller add a field of its choosing.
  if (s.path && !FitsInRecordField(*s.path)) return;
  if (!s.path) {
    const auto accepting = SettingsKey::Main(platform.registry).Text(values::AcceptingTypes);
    s.fileName = SuggestedFileName(s.url, accepting, platform.text);
    if (!s.fileName && decode) s.fileName = ReadableFileName(platform.text, s.url);
  }
  s.extension = UrlExtension(s.url);
  (void)RunDownloadSequence(std::move(s), kAutomationRoad, platform, services);
}

void TQUninstall(platform::Platform& platform) { RunProgramUninstaller(platform); }

}  // namespace vrpph
