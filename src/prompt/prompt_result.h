// What the download prompt answers its callers.
#pragma once

namespace vrpph {

// The prompt's result: one of these, or the platform's dialog result passed
// through unchanged (-1 when the dialog cannot be created).
namespace prompt_result {
constexpr int Proceed = 1;
constexpr int Cancelled = 2;
constexpr int ModuleMissing = 3;
constexpr int DialogFailed = -1;
}  // namespace prompt_result

namespace open_mode {
constexpr int Open = 0;
constexpr int Save = 1;
}  // namespace open_mode

struct PromptOutcome {
  int result = prompt_result::DialogFailed;
  // The mode this prompt chose; after any result but Proceed, the mode the
  // module held before.
  int openMode = open_mode::Open;
};

}  // namespace vrpph
