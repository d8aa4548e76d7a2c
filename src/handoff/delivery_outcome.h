// What a hand-off attempt tells the producer of a record.
#pragma once

namespace vrpph {

enum class DeliveryOutcome {
  Delivered,       // the record was sent
  ProgramMissing,  // no window and no program to start
  WindowMissing,   // the program was started (or failed to) and no window came up in time
};

// Who built the record: the browser's handler or the automation class. The
// two differ in decoding, window search, start and waits.
enum class Producer { Interception, Automation };

}  // namespace vrpph
