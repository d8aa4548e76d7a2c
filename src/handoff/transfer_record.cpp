#include "handoff/transfer_record.h"

#include <string_view>

#include "core/outcomes.h"
#include "settings/contact_points.h"

namespace vrpph {

std::string PathFieldValue(OpenMode openMode, const std::optional<std::string>& savePath) {
  if (openMode != OpenMode::Save) return values::Open;
  return savePath.value_or(std::string());
}

std::string AssembleTransferRecord(const RecordRules& rules, const TransferFields& fields) {
  std::string record = "URL=" + fields.url;
  if (fields.referer || rules.emptyRefererWritten) record += "\nReferer=" + fields.referer.value_or(std::string());
  record += "\nPath=" + fields.path;
  if (fields.postData && rules.postDataTravels) {
    std::string_view body = *fields.postData;
    record += "\nPostData=";
    record += body.substr(0, body.find('\0'));
  }
  if (fields.fileName) record += "\nFileName=" + *fields.fileName;
  return record;
}

}  // namespace vrpph
