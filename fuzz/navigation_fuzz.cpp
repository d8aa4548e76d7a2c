// The whole interception decision on the fake platform, with every setting
// absent, of the wrong type, empty or arbitrary, any keys down, any URL
// (unpaired surrogates included), any verb and body, and any answers from
// the prompt, the manager and the message boxes. Checked: the call agrees
// with the plain reading of the rules (tests/support/decision_oracle), no
// key stays open, and no setting changes except the accepted types through
// an auto-learn offer.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <map>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "interception/navigation_decision.h"
#include "settings/contact_points.h"
#include "support/decision_oracle.h"
#include "support/fake_download_services.h"
#include "support/fake_platform.h"
#include "support/registry_tools.h"

namespace {

using namespace vrpph;
using testing::StoredValue;

constexpr std::array<const char*, 9> kMainValues = {
    values::KeysToIgnore, values::KeysToAdd,   values::UseCtrlAlt,    values::DecodeUrls, values::AcceptingTypes,
    values::ExcludeFileNames, values::AutoLearn, values::ProgramTitle, values::OpenMode};

constexpr std::array<const char*, 12> kWords = {
    "TRUE", "FALSE", "true", "ZIP, EXE, ", "zip, ", "EXE, ZIP, ", ",,ZIP", "ZIP,EXE", "setup.exe, ", "", " ", "JPG"};

constexpr std::array<std::uint8_t, 12> kKeys = {0x10, 0x11, 0x12, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0x01, 0x14, 0x41};

std::vector<std::uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

void SeedValue(testing::FakeRegistry& registry, const char* name, FuzzedDataProvider& input) {
  using namespace platform::value_type;
  switch (input.ConsumeIntegralInRange(0, 5)) {
    case 0:
      return;  // absent
    case 1: {
      std::string word = kWords[input.ConsumeIntegralInRange<std::size_t>(0, kWords.size() - 1)];
      testing::SetString(registry, platform::root::CurrentUser, keys::Main, name, word);
      return;
    }
    case 2:
      testing::SetValue(registry, platform::root::CurrentUser, keys::Main, name, Sz,
                        Bytes(input.ConsumeRandomLengthString(300)));
      return;
    case 3: {
      std::vector<std::uint8_t> codes;
      for (int n = input.ConsumeIntegralInRange(0, 4); n > 0; --n) {
        codes.push_back(kKeys[input.ConsumeIntegralInRange<std::size_t>(0, kKeys.size() - 1)]);
      }
      testing::SetValue(registry, platform::root::CurrentUser, keys::Main, name, Binary, codes);
      return;
    }
    case 4:
      testing::SetDword(registry, platform::root::CurrentUser, keys::Main, name, input.ConsumeIntegral<std::uint32_t>());
      return;
    default:
      testing::SetValue(registry, platform::root::CurrentUser, keys::Main, name,
                        input.ConsumeIntegralInRange<std::uint32_t>(0, 7), {});
      return;
  }
}

std::map<std::string, std::optional<StoredValue>> Snapshot(platform::Registry& registry) {
  std::map<std::string, std::optional<StoredValue>> values;
  for (const char* name : kMainValues) {
    values[name] = testing::GetValue(registry, platform::root::CurrentUser, keys::Main, name);
  }
  return values;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  testing::FakePlatform world;
  testing::FakeDownloadServices services;

  // The URL first, as bytes: each byte one character (so dictionary words
  // work), or pairs of bytes as UTF-16 code units, surrogates and all.
  const std::string urlBytes = input.ConsumeRandomLengthString(4096);
  std::u16string url;
  if (input.ConsumeBool()) {
    for (unsigned char c : urlBytes) url.push_back(c);
  } else {
    for (std::size_t i = 0; i + 1 < urlBytes.size(); i += 2) {
      url.push_back(static_cast<char16_t>(static_cast<unsigned char>(urlBytes[i]) |
                                          static_cast<unsigned char>(urlBytes[i + 1]) << 8));
    }
  }
  url = url.substr(0, url.find(u'\0'));

  if (input.ConsumeBool()) {
    for (const char* name : kMainValues) SeedValue(world.registry, name, input);
  }
  for (int n = input.ConsumeIntegralInRange(0, 4); n > 0; --n) {
    world.keyboard.SetEntry(kKeys[input.ConsumeIntegralInRange<std::size_t>(0, kKeys.size() - 1)],
                            input.ConsumeIntegral<std::uint8_t>());
  }
  // A running download manager: answering yes, no, or hung.
  const int manager = input.ConsumeIntegralInRange(0, 3);
  if (manager > 0) {
    auto window = world.desktop.AddWindow(manager::WindowClass, manager::DefaultTitle);
    const std::intptr_t reply = manager == 1 ? manager::ClaimedReply : 0;
    world.desktop.OnCopyData(window, [reply](std::uintptr_t, const std::string&) { return reply; });
    world.desktop.SetHung(window, manager == 3);
  }
  world.desktop.SetDefaultMessageBoxAnswer(input.ConsumeBool() ? platform::message_box::IdYes
                                                               : platform::message_box::IdNo);
  constexpr std::array<int, 4> kPromptResults = {prompt_result::Proceed, prompt_result::Cancelled,
                                                 prompt_result::ModuleMissing, prompt_result::DialogFailed};
  services.promptAnswer.result = kPromptResults[input.ConsumeIntegralInRange<std::size_t>(0, 3)];
  services.promptAnswer.openMode = input.ConsumeBool() ? OpenMode::Save : OpenMode::Open;
  services.deliveryAnswer = static_cast<DeliveryOutcome>(input.ConsumeIntegralInRange(0, 2));

  const auto verb = static_cast<RequestVerb>(input.ConsumeIntegralInRange(0, 2));
  std::string body = input.ConsumeRandomLengthString(256);

  platform::KeyStateTable keys{};
  world.keyboard.GetKeyState(keys);
  const bool hungManager = manager == 3;
  testing::OracleWorld oracleWorld{world.registry, world.text, keys,
                                   [&](const std::string&) { return manager == 1 && !hungManager; }};
  const testing::ExpectedScreening expected = testing::ExpectScreening(oracleWorld, url.c_str(), verb);
  auto before = Snapshot(world.registry);

  NavigationRequest request{url.c_str(), verb, body, 0x777};
  const NavigationAnswer answer = DecideNavigation(request, world.platform, services);

  FUZZ_CHECK(world.registry.OpenHandleCount() == 0);
  auto after = Snapshot(world.registry);
  // Offers are made while AutoLearn reads as "TRUE": its bytes up to the first NUL.
  const auto& autoLearn = before[values::AutoLearn];
  const bool learning =
      autoLearn && std::string(autoLearn->bytes.begin(), autoLearn->bytes.end()).c_str() == std::string("TRUE");
  if (!learning) FUZZ_CHECK(after[values::AcceptingTypes] == before[values::AcceptingTypes]);
  after[values::AcceptingTypes] = before[values::AcceptingTypes];
  FUZZ_CHECK(after == before);

  using Outcome = testing::ExpectedScreening::Outcome;
  switch (expected.outcome) {
    case Outcome::Decline:
      FUZZ_CHECK(answer == NavigationAnswer::Decline);
      FUZZ_CHECK(services.prompts.empty() && services.deliveries.empty());
      return 0;
    case Outcome::Claimed:
      FUZZ_CHECK(answer == NavigationAnswer::Take);
      FUZZ_CHECK(services.prompts.empty() && services.deliveries.empty());
      return 0;
    case Outcome::Prompt:
      break;
  }
  FUZZ_CHECK(services.prompts.size() == 1);
  FUZZ_CHECK(services.prompts[0].url == expected.url);
  FUZZ_CHECK(services.prompts[0].suggestedName == expected.fileName);
  const int result = services.promptAnswer.result;
  if (result == prompt_result::Cancelled || result == prompt_result::ModuleMissing) {
    FUZZ_CHECK(answer == NavigationAnswer::Take && services.deliveries.empty());
    return 0;
  }
  FUZZ_CHECK(services.deliveries.size() == 1);
  const std::string& record = services.deliveries[0].record;
  FUZZ_CHECK(record.compare(0, 4 + expected.url.size(), "URL=" + expected.url) == 0);
  FUZZ_CHECK((answer == NavigationAnswer::Take) == (services.deliveryAnswer == DeliveryOutcome::Delivered));
  return 0;
}
