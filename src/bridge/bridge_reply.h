// The host's answers, each one JSON object with the request's id.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "bridge/host_status.h"

namespace vrpph::bridge {

// What this host understands, told in `hello`: 2 adds `method` and the
// `go` that commits a request. An extension takes a host that does not say
// for protocol 1.
constexpr int kProtocolVersion = 2;

enum class DownloadState { Taken, Declined, Error };

// How one download or link request ended.
struct DownloadAnswer {
  DownloadState state = DownloadState::Error;
  // Taken: false when nothing went to Trevalon (it already had the URL, or
  // the user cancelled in the prompt).
  bool sent = true;
  // Declined: the rule that declined; Error: what was wrong.
  std::string reason;
};

// How one link of a `batch` ended, under the index the extension gave it.
struct LinkOutcome {
  std::uint64_t index = 0;
  DownloadAnswer answer;
};

// What `hello` reports, read from the settings.
struct HelloInfo {
  std::string version;
  // Sorted DOM key names; none when a combination holds a key no click can
  // report.
  std::optional<std::vector<std::string>> keysToAdd;
  std::optional<std::vector<std::string>> keysToIgnore;
  bool useCtrlAlt = false;
  // AcceptingTypes' entries as stored; empty when it is absent.
  std::vector<std::string> acceptingTypes;
};

// The last request this process answered with an error, or declined because
// Trevalon could not be reached or no `go` came.
struct FailureNote {
  std::optional<std::string> id;  // none: the message had no usable id
  DownloadAnswer answer;
};

std::string PendingReply(const std::string& id);
std::string FinalReply(const std::string& id, const DownloadAnswer& answer);
// `id` none: the message had no usable id, answered with null.
std::string ErrorReply(const std::optional<std::string>& id, const std::string& reason);
// A batch's links decided so far: `progress` (not final) or `done`.
std::string ProgressReply(const std::string& id, const std::vector<LinkOutcome>& outcomes);
std::string DoneReply(const std::string& id, const std::vector<LinkOutcome>& outcomes);
std::string HelloReply(const std::string& id, const HelloInfo& hello);
std::string StatusReply(const std::string& id, const HostStatus& status, const std::optional<FailureNote>& lastFailure);

}  // namespace vrpph::bridge
