#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <stdexcept>

#include "engines/vss6/CodePage.h"
#include "engines/vss6/ItemFiles.h"
#include "engines/vss6/NamesFile.h"
#include "engines/vss6/Records.h"

namespace {

using vss6::Bytes;
using vss6::FormatError;

std::vector<unsigned char> Of(std::string_view text) { return {text.begin(), text.end()}; }

// A record of `signature` around `body`, with its check value (or `check` when given).
std::vector<unsigned char> RecordOf(std::string_view signature, std::vector<unsigned char> body,
                                    int check = -1) {
  const std::uint16_t value =
      check >= 0 ? static_cast<std::uint16_t>(check) : vss6::CheckValue(body);
  const auto size = static_cast<std::uint32_t>(body.size());
  std::vector<unsigned char> record;
  record.reserve(8 + body.size());
  for (const unsigned value32 : {size, size >> 8, size >> 16, size >> 24}) {
    record.push_back(static_cast<unsigned char>(value32));
  }
  record.push_back(static_cast<unsigned char>(signature[0]));
  record.push_back(static_cast<unsigned char>(signature[1]));
  record.push_back(static_cast<unsigned char>(value));
  record.push_back(static_cast<unsigned char>(value >> 8));
  for (const unsigned char byte : body) {
    record.push_back(byte);
  }
  return record;
}

TEST(RecordsTest, TheCheckValueIsTheFoldedCrcStartingAtZero) {
  // Worked out independently: zlib's crc32 with its pre- and post-inversion undone, folded.
  EXPECT_EQ(vss6::CheckValue(Of("123456789")), 0x0075);
  EXPECT_EQ(vss6::CheckValue(Of("SourceSafe")), 0xff72);
  EXPECT_EQ(vss6::CheckValue(std::vector<unsigned char>(10, 0)), 0);  // zeros give 0
}

struct BadRecord {
  const char* name;
  std::vector<unsigned char> bytes;
  const char* says;
};

class BadRecordTest : public ::testing::TestWithParam<BadRecord> {};

TEST_P(BadRecordTest, IsAFormatErrorNamingTheFileAndOffset) {
  try {
    vss6::ReadRecord(GetParam().bytes, 0, "JP", "data/q/qiaaaaaa.a");
    FAIL() << "read";
  } catch (const FormatError& error) {
    const std::string what = error.what();
    EXPECT_NE(what.find("'data/q/qiaaaaaa.a' at offset 0"), std::string::npos) << what;
    EXPECT_NE(what.find(GetParam().says), std::string::npos) << what;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadRecordTest,
    ::testing::Values(
        BadRecord{"ShortHeader", Of(std::string("\x05\x00\x00", 3)), "ends 5 bytes too soon"},
        BadRecord{"BodyPastTheEnd",
                  [] {
                    auto record = RecordOf("JP", Of("abcdef"));
                    record.resize(record.size() - 2);
                    return record;
                  }(),
                  "JP record's body of 6 bytes runs past the end of the file"},
        BadRecord{"HugeLength", Of(std::string("\xff\xff\xff\xffJP\0\0", 8)), "runs past the end"},
        BadRecord{"WrongCheck", RecordOf("JP", Of("abcdef"), 1), "check value is wrong"},
        BadRecord{"OtherSignature", RecordOf("EL", Of("abcdef")), "a JP record was expected"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RecordsTest, CommentRecordsAreWrittenWithZeroAndNotChecked) {
  const auto comment = RecordOf("MC", Of("a check-in comment"), 0);
  EXPECT_EQ(vss6::ReadRecord(comment, 0, "MC", "f").body.size(), 18u);
}

TEST(RecordsTest, EntryFilesAndNameSetsReadWhatTheyHold) {
  // One entry: a deleted, shared file "~sak1.vbp" whose long name is in names.dat.
  std::vector<unsigned char> body(56, 0);
  body[0] = 2;     // a file
  body[2] = 0x09;  // deleted, shared
  body[4] = 0;     // NAME flags
  const std::string shortName = "~sak1.vbp";
  std::copy(shortName.begin(), shortName.end(), body.begin() + 6);
  body[40] = 88;  // names.dat offset of the name set: after the 88-byte HN record
  const std::string physical = "cnaaaaaa";
  std::copy(physical.begin(), physical.end(), body.begin() + 46);
  const auto entries = vss6::ReadEntryFile(RecordOf("JP", body), "q.a");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_TRUE(entries[0].Deleted());
  EXPECT_EQ(entries[0].flags & vss6::kSharedFlag, vss6::kSharedFlag);
  EXPECT_EQ(entries[0].physical, "CNAAAAAA");
  EXPECT_EQ(entries[0].name.shortName, "~sak1.vbp");

  // names.dat: the HN header, then a set with an 8.3 name and the long name.
  std::vector<unsigned char> names = RecordOf("HN", std::vector<unsigned char>(80, 0));
  const std::string longName = "~sak082e066b01d1672d.vbproj";
  std::vector<unsigned char> set = {2, 0, 0, 0, 1, 0, 0, 0, 2, 0, 10, 0};
  const std::string shortForm = "SAK~1.VBP";
  set.insert(set.end(), shortForm.begin(), shortForm.end());
  set.push_back(0);
  set.insert(set.end(), longName.begin(), longName.end());
  set.push_back(0);
  const auto setRecord = RecordOf("SN", set);
  names.insert(names.end(), setRecord.begin(), setRecord.end());
  const vss6::NamesFile file(names, "names.dat");
  EXPECT_EQ(file.Name(88, vss6::kFileLongName), longName);
  EXPECT_EQ(file.Name(88, 1), shortForm);
  EXPECT_EQ(file.Name(88, vss6::kProjectLongName), std::nullopt);
  EXPECT_THROW(file.Name(4, vss6::kFileLongName), FormatError);  // not at a record
}

}  // namespace

namespace {

TEST(CodePageTest, NamesTurnToUtf8AndBytesTheCodePageLacksToReplacementCharacters) {
  const vss6::CodePage western("CP1252");
  EXPECT_EQ(western.ToUtf8("caf\xe9 \x80"), "caf\xc3\xa9 \xe2\x82\xac");  // café €
  EXPECT_EQ(western.ToUtf8("a\x81z"), "a\xef\xbf\xbdz");                  // 0x81 is undefined
  const vss6::CodePage chinese("GBK");
  EXPECT_EQ(chinese.ToUtf8("\xbb\xa8\xb3\xc7"), "\xe8\x8a\xb1\xe5\x9f\x8e");  // 花城
  EXPECT_EQ(chinese.ToUtf8("x\xbb"), "x\xef\xbf\xbd");  // a name cut in a character
  EXPECT_THROW(vss6::CodePage("NO-SUCH-PAGE"), std::invalid_argument);
}

}  // namespace
