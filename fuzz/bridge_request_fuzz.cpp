// The native messaging host's reading of a browser's messages: any bytes as
// a stream of frames, each frame's payload parsed as a request, and each
// download, link or batch decided on the fake platform with a typical
// configuration and the manager's window present. Checked: a frame never
// claims more than the limit, every answer is valid JSON with the request's
// id, and every record the manager receives is made only of the record's
// own fields, one a line, with no CR or NUL.
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "bridge/batch_decision.h"
#include "bridge/bridge_reply.h"
#include "bridge/download_decision.h"
#include "bridge/frame_codec.h"
#include "fuzz_check.h"
#include "sequence/services.h"
#include "settings/contact_points.h"
#include "support/fake_platform.h"
#include "support/fixed_commit_gate.h"
#include "support/registry_tools.h"
#include "support/scripted_prompt_dialog.h"

namespace {

using namespace vrpph;
using namespace vrpph::bridge;

class InputSource : public ByteSource {
 public:
  explicit InputSource(std::string_view bytes) : bytes_(bytes) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    const std::size_t n = std::min(size, bytes_.size());
    std::copy_n(bytes_.data(), n, buffer);
    bytes_.remove_prefix(n);
    return n;
  }

 private:
  std::string_view bytes_;
};

bool OneFieldALine(const std::string& record) {
  if (record.find_first_of(std::string_view("\r\0", 2)) != std::string::npos) return false;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = record.find('\n', start);
    const std::string_view line = std::string_view(record).substr(start, end - start);
    bool known = false;
    for (std::string_view field : {"URL=", "Referer=", "Path=", "FileName="}) known = known || line.starts_with(field);
    if (!known || (start == 0) != line.starts_with("URL=")) return false;
    if (end == std::string::npos) return true;
    start = end + 1;
  }
}

void CheckAnswer(const std::string& answer, const std::optional<std::string>& id) {
  const auto parsed = nlohmann::json::parse(answer, nullptr, false);
  FUZZ_CHECK(!parsed.is_discarded() && parsed.is_object());
  FUZZ_CHECK(id ? parsed["id"] == *id : parsed["id"].is_null());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  testing::FakePlatform world;
  using platform::root::CurrentUser;
  testing::SetString(world.registry, CurrentUser, keys::Main, values::AcceptingTypes, "ZIP, EXE, PDF, ");
  testing::SetString(world.registry, CurrentUser, keys::Main, values::ExcludeFileNames, "setup.exe, ");
  testing::SetDword(world.registry, CurrentUser, keys::DefAction, "zip", 0);
  world.desktop.AddWindow(manager::WindowClass, manager::DefaultTitle);
  testing::ScriptedPromptDialog dialog;
  dialog.result = prompt_result::Proceed;
  std::atomic<OpenMode> openMode{OpenMode::Open};
  std::atomic<bool> inputEnded{false};
  ModuleServices services(world.platform, openMode, dialog, &inputEnded);

  InputSource source(std::string_view(reinterpret_cast<const char*>(data), size));
  for (int frames = 0; frames < 64; ++frames) {
    const FrameRead frame = ReadFrame(source, 4096);
    if (frame.status != FrameStatus::Frame) break;
    FUZZ_CHECK(frame.payload.size() <= 4096);
    const ParsedRequest parsed = ParseRequest(frame.payload);
    if (!parsed.request) {
      CheckAnswer(ErrorReply(parsed.id, parsed.error), parsed.id);
      continue;
    }
    if (parsed.request->type == RequestType::Hello || parsed.request->type == RequestType::Go) continue;
    testing::FixedCommitGate go;
    if (parsed.request->type == RequestType::Batch) {
      const std::string& id = parsed.request->id;
      const BatchAnswer batch = DecideBatch(*parsed.request, 0x4242, world.platform, services, go,
                                            [&](const std::vector<LinkOutcome>& decided) {
                                              FUZZ_CHECK(decided.size() == kProgressEvery);
                                              CheckAnswer(ProgressReply(id, decided), id);
                                            });
      FUZZ_CHECK(batch.error || batch.outcomes.size() == parsed.request->links.size());
      CheckAnswer(batch.error ? ErrorReply(id, *batch.error) : DoneReply(id, batch.outcomes), id);
      continue;
    }
    const DownloadAnswer answer = DecideDownload(*parsed.request, 0x4242, world.platform, services, go);
    CheckAnswer(FinalReply(parsed.request->id, answer), parsed.request->id);
  }
  for (const auto& sent : world.desktop.copyData()) {
    if (sent.dwData == manager::ClaimQueryTag) continue;
    FUZZ_CHECK(OneFieldALine(sent.bytes));
  }
  return 0;
}
