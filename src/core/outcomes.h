// The few types the module's folders pass to one another: how a record's
// hand-off ended, and what the download prompt answered.
#pragma once

#include <cstdint>

namespace vrpph {

// What a hand-off attempt tells the producer of a record.
enum class DeliveryOutcome {
  Delivered,       // the record was sent
  ProgramMissing,  // no window and no program to start
  WindowMissing,   // the program was started (or failed to) and no window came up in time
};

// Open the file where it is, or save it; the values are the ones the
// download manager stores as a remembered action (DefAction).
enum class OpenMode : int { Open = 0, Save = 1 };

// The number stored for a remembered action of `mode`.
constexpr std::uint32_t StoredAction(OpenMode mode) { return static_cast<std::uint32_t>(mode); }

// The prompt's result: one of these, or the platform's dialog result passed
// through unchanged (-1 when the dialog cannot be created).
namespace prompt_result {
constexpr int Proceed = 1;
constexpr int Cancelled = 2;
constexpr int ModuleMissing = 3;
constexpr int DialogFailed = -1;
}  // namespace prompt_result

struct PromptOutcome {
  int result = prompt_result::DialogFailed;
  // The mode this prompt chose; after any result but Proceed, the mode the
  // module held before.
  OpenMode openMode = OpenMode::Open;
};

}  // namespace vrpph
