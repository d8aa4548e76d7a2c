// The one sequence every road runs once its own screening let a download
// through: the claim query, the prompt, auto-learn's offers, the
// paused-download check, the record and its delivery. A road names its
// differences in one RoadPolicy and maps the outcome to its own answer.
#pragma once

#include <optional>
#include <string>

#include "handoff/delivery.h"
#include "handoff/transfer_record.h"
#include "platform/platform.h"
#include "sequence/services.h"
#include "url/request_url.h"

namespace vrpph {

// Go: the caller still holds the download; NotConfirmed: no `go` within the
// bound, the browser has gone on; InputEnded: the caller stopped listening.
enum class Commitment { Go, NotConfirmed, InputEnded };

// What a request waits on before anything may reach the user or Trevalon.
class CommitGate {
 public:
  virtual ~CommitGate() = default;
  virtual Commitment AwaitGo() = 0;
};

// Where a POST ends the request: nowhere, unless forced after the claim
// query, or before the commit step whether forced or not.
enum class PostDeclined { Never, UnforcedAfterClaimQuery, BeforeCommitStep };
// The prompt results after which a record is still sent.
enum class PromptGoesOn { AllButCancel, AllButCancelAndModuleMissing, ProceedOrDialogFailed };
// The referer: the request's own, or the address bar's read after the prompt.
enum class RefererSource { Request, AddressBarAfterPrompt };
// A referer holding a line break: left out, or the end of the request.
enum class RefererLineBreak { Dropped, EndsRequest };
// The FileName field: the name the prompt showed, or the request's name only
// when spelled exactly and unlike the URL's own.
enum class FileNameRule { AsShown, ExactAndUnlikeUrlName };

struct RoadPolicy {
  UrlDecoding decoding;
  bool claimQuery;  // a running Trevalon may claim the URL first
  PostDeclined postDeclined;
  bool awaitsGo;            // the request's CommitGate must say go first
  bool endOfInputCallsOff;  // checked after the prompt and the paused check
  PromptGoesOn promptGoesOn;
  bool autoLearn;  // the offers that edit AcceptingTypes
  RefererSource referer;
  RefererLineBreak refererLineBreak;
  FileNameRule fileName;
  RecordRules record;
  DeliveryRules delivery;
  // False: no prompt, a record in save mode with an empty Path (Trevalon
  // picks the folder); remembered actions, the paused-download question and
  // auto-learn's offers go with the prompt.
  bool asks = true;
};

// A download a road's screening let through.
struct ScreenedRequest {
  std::string url;  // decoded; fits in a record field
  platform::WindowHandle owner = 0;  // owns every question, tags the record
  bool forced = false;
  bool post = false;
  std::string body;
  std::optional<std::string> fileName;  // the name the prompt shows
  bool fileNameExact = false;           // ... spelled with every letter it had
  std::optional<std::string> nameInUrl;  // a file name the URL itself holds
  std::optional<std::string> extension;  // remembered actions are looked up under it
  std::optional<std::string> referer;
  std::optional<std::string> path;  // a given target: no paused-download check
  CommitGate* gate = nullptr;
};

// Refused: the request's referer held a line break; PostDeclined: the
// browser keeps a POST; Claimed: a running Trevalon took the URL itself;
// NotSent: the prompt ended it; Unreachable: no window took the record.
enum class SequenceOutcome { Refused, PostDeclined, NotConfirmed, InputEnded, Claimed, NotSent, Sent, Unreachable };

SequenceOutcome RunDownloadSequence(ScreenedRequest request, const RoadPolicy& policy, platform::Platform& platform,
                                    SequenceServices& services);

}  // namespace vrpph
