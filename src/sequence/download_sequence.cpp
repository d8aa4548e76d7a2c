#include "sequence/download_sequence.h"

#include "core/record_field.h"
#include "sequence/auto_learn.h"
#include "sequence/window_probes.h"
#include "url/url_names.h"

namespace vrpph {
namespace {

bool GoesOn(PromptGoesOn rule, int result) {
  if (rule == PromptGoesOn::ProceedOrDialogFailed) {
    return result == prompt_result::Proceed || result == prompt_result::DialogFailed;
  }
  return result != prompt_result::Cancelled &&
         (rule == PromptGoesOn::AllButCancel || result != prompt_result::ModuleMissing);
}

}  // namespace

SequenceOutcome RunDownloadSequence(ScreenedRequest request, const RoadPolicy& policy, platform::Platform& platform,
                                    SequenceServices& services) {
  if (request.referer && !FitsInRecordField(*request.referer)) {
    // A line break would let the caller add a field of its choosing.
    if (policy.refererLineBreak == RefererLineBreak::EndsRequest) return SequenceOutcome::Refused;
    request.referer.reset();
  }
  // Before the claim query, whose claim would cancel the browser's copy.
  if (request.post && policy.postDeclined == PostDeclined::BeforeCommitStep) return SequenceOutcome::PostDeclined;
  if (policy.awaitsGo && request.gate) {
    const Commitment commitment = request.gate->AwaitGo();
    if (commitment == Commitment::NotConfirmed) return SequenceOutcome::NotConfirmed;
    if (commitment == Commitment::InputEnded) return SequenceOutcome::InputEnded;
  }
  if (policy.claimQuery && ManagerClaimsUrl(platform.desktop, request.url)) return SequenceOutcome::Claimed;
  // Form posts go to Trevalon only when forced; an empty body still makes a POST.
  if (request.post && !request.forced && policy.postDeclined == PostDeclined::UnforcedAfterClaimQuery) {
    return SequenceOutcome::PostDeclined;
  }
  const auto calledOff = [&] { return policy.endOfInputCallsOff && services.InputEnded(); };

  const bool autoLearn = policy.autoLearn && policy.asks;
  const PromptOutcome prompt =
      policy.asks ? services.ShowDownloadPrompt(request.owner, request.url, request.fileName, request.extension)
                  : PromptOutcome{prompt_result::Proceed, OpenMode::Save};
  if (calledOff()) return SequenceOutcome::InputEnded;
  if (!GoesOn(policy.promptGoesOn, prompt.result)) {
    if (autoLearn && !request.forced) OfferTurnOff(platform, request.owner, request.url, request.nameInUrl);
    return SequenceOutcome::NotSent;
  }
  std::optional<std::string> savePath = request.path;
  if (policy.asks && prompt.openMode == OpenMode::Save && !savePath) {
    savePath = services.CheckPausedDownload(request.owner, request.url);
  }
  if (calledOff()) return SequenceOutcome::InputEnded;
  if (autoLearn && request.forced && !request.nameInUrl) OfferTurnOn(platform, request.owner, request.url);

  TransferFields fields;
  fields.url = request.url;
  fields.referer =
      policy.referer == RefererSource::AddressBarAfterPrompt ? AddressBarText(platform.desktop) : request.referer;
  // An address that could not stand in the record is left out.
  if (fields.referer && !FitsInRecordField(*fields.referer)) fields.referer.reset();
  fields.path = PathFieldValue(prompt.openMode, savePath);
  if (request.post) fields.postData = std::move(request.body);
  // Trevalon takes the name from the URL unless told otherwise; a name the
  // code page cannot spell is better taken from the URL too.
  if (policy.fileName == FileNameRule::AsShown ||
      (request.fileName && request.fileNameExact && *request.fileName != UrlFileName(request.url))) {
    fields.fileName = std::move(request.fileName);
  }
  const std::string record = AssembleTransferRecord(policy.record, fields);
  return services.SendTransferRecord(record, request.owner, policy.delivery) == DeliveryOutcome::Delivered
             ? SequenceOutcome::Sent
             : SequenceOutcome::Unreachable;
}

}  // namespace vrpph
