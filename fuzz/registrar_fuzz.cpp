// The registrar on arbitrary scripts: variable expansion, the tokenizer,
// and a register pass followed by two unregister passes on the in-memory
// registry, in a single- or a double-byte code page. Checked: only the
// registrar's own results come back, tokens keep their bound and the
// reader always moves on, no key stays open, and unregistering answers the
// same the second time (its result depends on the script's form alone).
#include <fuzzer/FuzzedDataProvider.h>

#include <string>

#include "fuzz_check.h"
#include "registration/expand_script.h"
#include "registration/register_script.h"
#include "registration/script_reader.h"
#include "registration/script_runner.h"
#include "support/fake_registry.h"
#include "support/fake_text.h"

namespace {

using namespace vrpph;

bool Known(HResult hr) {
  return hr == hresult::Ok || hr == hresult::Fail || hr == hresult::DispException || hr == hresult::OutOfMemory;
}

void Tokenize(const platform::Text& text, const std::string& script) {
  ScriptReader reader(text, script);
  std::string token;
  std::size_t last = 0;
  while (!hresult::Failed(reader.ReadToken(&token))) {
    FUZZ_CHECK(token.size() <= kMaxTokenBytes);
    FUZZ_CHECK(reader.Position() > last);
    last = reader.Position();
  }
  FUZZ_CHECK(reader.Position() <= script.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  testing::FakeText text;
  if (input.ConsumeBool()) text.SetLeadBytes({0x81, 0x82, 0x9F, 0xE0});
  const std::string modulePath = input.ConsumeRandomLengthString(300);
  const std::string script = input.ConsumeRemainingBytesAsString();

  std::optional<ScriptVariables> variables = ClassScriptVariables(text, modulePath.substr(0, modulePath.find('\0')));
  if (!variables) return 0;
  std::string expanded;
  const HResult expandResult = ExpandScript(text, script, *variables, &expanded);
  FUZZ_CHECK(Known(expandResult));
  Tokenize(text, hresult::Failed(expandResult) ? script : expanded);
  if (hresult::Failed(expandResult)) return 0;

  testing::FakeRegistry registry;
  FUZZ_CHECK(Known(RunScript(registry, text, expanded, true)));
  FUZZ_CHECK(registry.OpenHandleCount() == 0);
  const HResult first = RunScript(registry, text, expanded, false);
  FUZZ_CHECK(Known(first));
  FUZZ_CHECK(registry.OpenHandleCount() == 0);
  FUZZ_CHECK(RunScript(registry, text, expanded, false) == first);
  FUZZ_CHECK(registry.OpenHandleCount() == 0);
  return 0;
}
