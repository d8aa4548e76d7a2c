// The text handed to the download manager: "URL=" first, each later field
// after one line feed, no line feed at the end.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "handoff/delivery_outcome.h"

namespace vrpph {

struct TransferFields {
  std::string url;
  // Interception: written only when known. Automation: always, empty when none.
  std::optional<std::string> referer;
  std::string path;
  // The POST body's bytes; only the interception writes it, up to the first
  // zero byte.
  std::optional<std::string> postData;
  std::optional<std::string> fileName;
};

// "OPEN" unless `openMode` is save; in save mode the target path, or empty.
std::string PathFieldValue(int openMode, const std::optional<std::string>& savePath);

// Whether `value` may stand in a record field: the download manager reads
// one field a line, so a field never holds a line break or a NUL of its own.
bool FitsInRecordField(std::string_view value);

// The record's bytes, without a terminator; values go in unescaped (each
// caller keeps to FitsInRecordField; PostData, a body, is exempt).
std::string AssembleTransferRecord(Producer producer, const TransferFields& fields);

}  // namespace vrpph
