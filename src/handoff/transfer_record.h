// The text handed to the download manager: "URL=" first, each later field
// after one line feed, no line feed at the end.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/outcomes.h"
#include "core/record_field.h"

namespace vrpph {

// Where the roads' records differ.
struct RecordRules {
  bool emptyRefererWritten;  // a Referer field, empty, when none is known
  bool postDataTravels;      // a POST body goes along as PostData
};

struct TransferFields {
  std::string url;
  std::optional<std::string> referer;
  std::string path;
  // The POST body's bytes, written up to the first zero byte.
  std::optional<std::string> postData;
  std::optional<std::string> fileName;
};

// "OPEN" unless `openMode` is save; in save mode the target path, or empty.
std::string PathFieldValue(OpenMode openMode, const std::optional<std::string>& savePath);

// The record's bytes, without a terminator; values go in unescaped (each
// caller keeps to FitsInRecordField; PostData, a body, is exempt).
std::string AssembleTransferRecord(const RecordRules& rules, const TransferFields& fields);

}  // namespace vrpph
