// Applies an expanded registration script to the registry, or removes what
// it describes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/registry.h"
#include "platform/text.h"
#include "registration/hresults.h"
#include "registration/script_reader.h"

namespace vrpph {

// Blocks may nest this deep; a deeper script is refused rather than
// recursing without bound (the registry itself stops at 512 levels).
constexpr int kMaxBlockDepth = 512;

class ScriptRunner {
 public:
  // `script` must outlive the runner.
  ScriptRunner(platform::Registry& registry, const platform::Text& text, std::string_view script);

  // Every root block in turn. In register mode a failing root block is
  // unregistered again from its start before its first failure is returned;
  // earlier root blocks stay.
  HResult RunScript(bool doRegister);

  // The entries after a "{" up to the "}" that closes them, which is then the
  // current token. `recovery`: the key of this block is missing, so nothing
  // below it is touched.
  HResult ProcessBlock(platform::HKey parent, bool doRegister, bool recovery);

 private:
  struct Block;

  HResult Next();
  HResult Entry(Block& block, bool doRegister);
  HResult EndDeleteEntry();
  HResult ValueEntry(Block& block, bool doRegister);
  HResult RegisterKeyEntry(Block& block);
  HResult UnregisterKeyEntry(Block& block);
  HResult AddScriptValue(platform::HKey key, const char* name);
  HResult SkipTypeAndValue();

  platform::Registry& registry_;
  const platform::Text& text_;
  ScriptReader reader_;
  std::string token_;
  int depth_ = 0;
};

// RunScript over `expandedScript`.
HResult RunScript(platform::Registry& registry, const platform::Text& text, std::string_view expandedScript,
                  bool doRegister);

}  // namespace vrpph
