#include "automation/automation_api.h"

#include <cstddef>
#include <optional>
#include <string>

#include "handoff/program_commands.h"
#include "handoff/transfer_record.h"
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

void DownloadFile(platform::Platform& platform, DownloadServices& services, const DownloadFileRequest& request) {
  const platform::WindowHandle owner = platform.desktop.ForegroundWindow();
  const bool decode = UrlDecodingOn(SettingsKey::Main(platform.registry).Text(values::DecodeUrls));
  std::optional<std::string> url = DecodeRequestUrl(platform.text, request.url, Producer::Automation, decode);
  if (!url) return;
  // The record always carries a Referer field; no referer leaves it empty,
  // while one that cannot be converted ends the call.
  std::string referer;
  if (request.referer) {
    std::optional<std::string> converted = WideToAnsi(platform.text, request.referer);
    if (!converted) return;
    referer = std::move(*converted);
  }
  const std::optional<std::string> path = UsablePath(platform.text, request.path);
  // A line break would let the caller add a field of its choosing.
  if (!FitsInRecordField(referer) || (path && !FitsInRecordField(*path))) return;
  std::optional<std::string> fileName;
  if (!path) {
    const auto accepting =
        SettingsKey::Main(platform.registry).Text(values::AcceptingTypes);
    fileName = SuggestedFileName(*url, accepting, platform.text);
    if (!fileName && decode) fileName = ReadableFileName(platform.text, *url);
  }

  const PromptOutcome prompt = services.ShowDownloadPrompt(owner, *url, fileName);
  // A missing module image or a dialog that could not be shown still sends.
  if (prompt.result == prompt_result::Cancelled) return;

  std::optional<std::string> savePath = path;
  if (prompt.openMode == OpenMode::Save && !savePath) savePath = services.CheckPausedDownload(owner, *url);

  TransferFields fields;
  fields.url = std::move(*url);
  fields.referer = std::move(referer);
  fields.path = PathFieldValue(prompt.openMode, savePath);
  fields.fileName = std::move(fileName);
  (void)services.SendTransferRecord(AssembleTransferRecord(Producer::Automation, fields), owner,
                                    Producer::Automation);
}

void TQUninstall(platform::Platform& platform) { RunProgramUninstaller(platform); }

}  // namespace vrpph
