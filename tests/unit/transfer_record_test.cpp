#include "handoff/transfer_record.h"

#include <gtest/gtest.h>

#include "automation/automation_api.h"
#include "interception/navigation_decision.h"

namespace vrpph {
namespace {

TEST(TransferRecordTest, AutomationWritesRefererAndPathAlwaysAndNeverPostData) {
  TransferFields fields{"ftp://server/a.zip", std::nullopt, PathFieldValue(OpenMode::Open, std::nullopt),
                        std::string("ignored"), std::nullopt};
  std::string record = AssembleTransferRecord(kAutomationRoad.record, fields);
  EXPECT_EQ(record, "URL=ftp://server/a.zip\nReferer=\nPath=OPEN");
  EXPECT_EQ(record.size(), 41u);

  fields.referer = "http://page/";
  fields.path = PathFieldValue(OpenMode::Save, "C:\\d\\a.zip");
  fields.fileName = "a.zip";
  EXPECT_EQ(AssembleTransferRecord(kAutomationRoad.record, fields),
            "URL=ftp://server/a.zip\nReferer=http://page/\nPath=C:\\d\\a.zip\nFileName=a.zip");
}

TEST(TransferRecordTest, InterceptionWritesOptionalFieldsOnlyWhenKnown) {
  TransferFields fields{"http://h/a.zip", std::nullopt, "", std::nullopt, std::nullopt};
  EXPECT_EQ(AssembleTransferRecord(kHandlerRoad.record, fields), "URL=http://h/a.zip\nPath=");

  fields.referer = "http://h/";
  fields.postData = std::string("a=1&b=2\0tail", 12);
  fields.fileName = "get.zip";
  EXPECT_EQ(AssembleTransferRecord(kHandlerRoad.record, fields),
            "URL=http://h/a.zip\nReferer=http://h/\nPath=\nPostData=a=1&b=2\nFileName=get.zip")
      << "the body stops at its first zero byte";

  fields.postData = "";
  fields.referer = "";
  EXPECT_EQ(AssembleTransferRecord(kHandlerRoad.record, fields),
            "URL=http://h/a.zip\nReferer=\nPath=\nPostData=\nFileName=get.zip");
}

TEST(TransferRecordTest, ValuesGoInUnescapedAndUnbounded) {
  std::string url = "http://h/" + std::string(70000, 'x') + "\n.zip";
  TransferFields fields{url, "a\nb", "OPEN", std::nullopt, std::string("\xE9\n")};
  EXPECT_EQ(AssembleTransferRecord(kHandlerRoad.record, fields),
            "URL=" + url + "\nReferer=a\nb\nPath=OPEN\nFileName=\xE9\n");
}

TEST(TransferRecordTest, PathIsOpenUnlessTheModeIsSave) {
  EXPECT_EQ(PathFieldValue(OpenMode::Open, "C:\\given"), "OPEN");
  EXPECT_EQ(PathFieldValue(static_cast<OpenMode>(7), "C:\\given"), "OPEN") << "anything but save opens";
  EXPECT_EQ(PathFieldValue(OpenMode::Save, "C:\\given"), "C:\\given");
  EXPECT_EQ(PathFieldValue(OpenMode::Save, std::nullopt), "");
}

}  // namespace
}  // namespace vrpph
