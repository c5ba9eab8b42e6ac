#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "data/event_record.h"
#include "data/person_file.h"
#include "data/record_messages.h"

namespace {

std::string lastMessage;
void Capture(const char* m) { lastMessage = m; }

std::string TempPath(const char* name) { return testing::TempDir() + "/" + name; }

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

TEST(EventRecord, DefaultsAreJohnDoeOfLindental) {
  EventRecord r = DefaultEventRecord();
  EXPECT_STREQ(r.familyName, "Doe");
  EXPECT_STREQ(r.firstName, "John");
  EXPECT_STREQ(r.place, "Lindental");
  EXPECT_EQ(r.summerTime, 0);
  EXPECT_EQ(r.timeZone, 1);
  EXPECT_EQ(r.longitudeDegrees, 10);
  EXPECT_EQ(r.longitudeMinutes, 0);
  EXPECT_EQ(r.latitudeDegrees, 10);
  EXPECT_EQ(r.latitudeMinutes, 0);
}

TEST(EventRecord, LongTextIsCutWithoutSplittingACharacter) {
  char field[6];
  CopyRecordText(field, sizeof field, "abcd\xc3\xa4x");  // "abcdäx": the cut falls inside "ä"
  EXPECT_STREQ(field, "abcd");
  CopyRecordText(field, sizeof field, "M\xc3\xa4rz");  // fits exactly
  EXPECT_STREQ(field, "M\xc3\xa4rz");
}

TEST(PersonFile, ReadsEveryKeyAndKeepsMissingOnes) {
  EventRecord r = DefaultEventRecord();
  std::string error;
  ASSERT_TRUE(ParsePersonText("# comment\n\nFamily Name = M\xc3\xbcller \r\nfirst_name=Anna\n"
                              "day = 31\nmonth=12\nyear = 1899\nhour=0\nminute = 30\n"
                              "summer time = 1\ntime zone = -5\nplace = New York\n"
                              "longitude degrees = -73\nlongitude minutes = -59\n",
                              r, error))
      << error;
  EXPECT_STREQ(r.familyName, "M\xc3\xbcller");
  EXPECT_STREQ(r.firstName, "Anna");
  EXPECT_EQ(r.day, 31);
  EXPECT_EQ(r.month, 12);
  EXPECT_EQ(r.year, 1899);
  EXPECT_EQ(r.hour, 0);
  EXPECT_EQ(r.minute, 30);
  EXPECT_EQ(r.second, 0);  // missing: kept
  EXPECT_EQ(r.summerTime, 1);
  EXPECT_EQ(r.timeZone, -5);
  EXPECT_STREQ(r.place, "New York");
  EXPECT_EQ(r.longitudeDegrees, -73);
  EXPECT_EQ(r.longitudeMinutes, -59);
  EXPECT_EQ(r.latitudeDegrees, 10);  // missing: kept
}

TEST(PersonFile, ByteOrderMarkAndWindowsLineEnds) {
  EventRecord r = DefaultEventRecord();
  std::string error;
  ASSERT_TRUE(ParsePersonText("\xEF\xBB\xBF" "day = 5\r\nplace = Bern\r\n", r, error)) << error;
  EXPECT_EQ(r.day, 5);
  EXPECT_STREQ(r.place, "Bern");
}

TEST(PersonFile, BadLinesNameTheLineAndChangeNothing) {
  const char* bad[] = {"day = 1\nmonth = 13\n", "day = 1\nhour = twelve\n",
                       "day = 1\nshoe size = 44\n", "day = 1\njust words\n",
                       "day = 1\nminute = 5.5\n", "day = 1\nyear = \n"};
  for (const char* text : bad) {
    EventRecord r = DefaultEventRecord();
    r.day = 7;
    std::string error;
    EXPECT_FALSE(ParsePersonText(text, r, error)) << text;
    EXPECT_EQ(error.rfind("line 2: ", 0), 0u) << error;
    EXPECT_EQ(r.day, 7) << "a rejected file must not change the record";
  }
}

// Files from old editors end their lines with a CR alone; every kind of
// line end, mixed too, gives the same record and the same line numbers.
TEST(PersonFile, CarriageReturnLineFeedAndBothEndLines) {
  const std::string lines[] = {"# Anna", "family name = Meier", "", "day = 17", "month = 3", "year = 1955",
                               "latitude degrees = 47"};
  for (const char* end : {"\n", "\r\n", "\r"}) {
    std::string text;
    for (const std::string& l : lines) text += l + end;
    EventRecord r = DefaultEventRecord();
    std::string error;
    ASSERT_TRUE(ParsePersonText(text, r, error)) << error;
    EXPECT_STREQ(r.familyName, "Meier");
    EXPECT_EQ(r.day, 17);
    EXPECT_EQ(r.month, 3);
    EXPECT_EQ(r.year, 1955);
    EXPECT_EQ(r.latitudeDegrees, 47);
    EXPECT_FALSE(ParsePersonText(text + "hour = 25" + end, r, error));
    EXPECT_EQ(error.rfind("line 8: ", 0), 0u) << error;
  }
  EventRecord r = DefaultEventRecord();
  std::string error;
  ASSERT_TRUE(ParsePersonText("day = 2\rmonth = 4\r\n\nyear = 1999\n\rhour = 5", r, error)) << error;
  EXPECT_EQ(r.day * 1000000 + r.month * 10000 + r.year, 2041999);
  EXPECT_EQ(r.hour, 5);
  EXPECT_FALSE(ParsePersonText("day = 2\r\rmonth = x", r, error));
  EXPECT_EQ(error.rfind("line 3: ", 0), 0u) << "two CRs are two line ends: " << error;
}

// A day the month does not have, in the calendar of its time (Julian up
// to 4 October 1582, then Gregorian), or a latitude beyond a pole is a bad
// line: the day's, or the latitude's.
TEST(PersonFile, ImpossibleDatesAndLatitudesNameTheirLine) {
  struct Case {
    const char* text;
    const char* error;
  };
  const Case bad[] = {
      {"year = 2001\nmonth = 2\nday = 30\n", "line 3: 30.2.2001 is no date: February 2001 has 28 days"},
      {"day = 29\nmonth = 2\nyear = 1900\n", "line 1: 29.2.1900 is no date: February 1900 has 28 days"},
      {"day = 31\nmonth = 4\n", "line 1: 31.4.2000 is no date: April 2000 has 30 days"},
      {"year = 1582\nmonth = 10\nday = 10\n", "line 3: 10.10.1582 is no date: the calendar goes from 4 to 15 October 1582"},
      {"# pole\nlatitude degrees = 360\n", "line 2: latitude 360 degrees 0 minutes is beyond 90 degrees north or south"},
      {"latitude degrees = -90\nlatitude minutes = -1\n",
       "line 2: latitude -90 degrees -1 minutes is beyond 90 degrees north or south"},
      {"latitude minutes = 90\nlatitude degrees = 89\n",
       "line 2: latitude 89 degrees 90 minutes is beyond 90 degrees north or south"},
  };
  for (const Case& c : bad) {
    EventRecord r = DefaultEventRecord();
    std::string error;
    EXPECT_FALSE(ParsePersonText(c.text, r, error)) << c.text;
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(r.day, 1) << "a rejected file must not change the record";
    EXPECT_EQ(r.latitudeDegrees, 10);
  }
  const char* good[] = {"day = 29\nmonth = 2\nyear = 2000\n", "day = 29\nmonth = 2\nyear = 1500\n",
                        "day = 4\nmonth = 10\nyear = 1582\n",  "day = 15\nmonth = 10\nyear = 1582\n",
                        "latitude degrees = 90\n",               "latitude degrees = -89\nlatitude minutes = -60\n",
                        "latitude degrees = 92\nlatitude minutes = -180\n"};
  for (const char* text : good) {
    EventRecord r = DefaultEventRecord();
    std::string error;
    EXPECT_TRUE(ParsePersonText(text, r, error)) << text << error;
  }
}

// Found by fuzzing: a zero byte ended a name (or a number: "12\0abc"
// read as 12) without a word, and the name kept the blank before it.
TEST(PersonFile, ZeroByteInALineIsABadLine) {
  const std::string texts[] = {std::string("day = 1\nfirst name = Ann\t\0x\n", 28),
                               std::string("day = 1\nhour = 12\0abc\n", 22)};
  for (const std::string& text : texts) {
    EventRecord r = DefaultEventRecord();
    std::string error;
    EXPECT_FALSE(ParsePersonText(text, r, error));
    EXPECT_EQ(error, "line 2: a zero byte in the line");
    EXPECT_STREQ(r.firstName, "John");
    EXPECT_EQ(r.hour, 12);
  }
}

// A name cut at its field's length must not end in the blank that fell at
// the cut, or the saved file reads back as another record. (A CR is a
// line end, so it cannot fall at the cut of a name.)
TEST(PersonFile, NameCutAtABlankReadsBackTheSame) {
  for (const char* cut : {" bcd", "\t\tbcd", "\t bcd"}) {
    const std::string name = std::string(47, 'a') + "\xc3\xa4" + cut;
    EventRecord r = DefaultEventRecord();
    std::string error;
    ASSERT_TRUE(ParsePersonText("family name = " + name + "\n", r, error)) << error;
    EXPECT_EQ(std::string(r.familyName), std::string(47, 'a') + "\xc3\xa4");
    EventRecord back = DefaultEventRecord();
    ASSERT_TRUE(ParsePersonText(FormatPersonText(r), back, error)) << error;
    EXPECT_EQ(std::memcmp(&r, &back, sizeof r), 0);
  }
}

TEST(PersonFile, SaveAndLoadRoundTrip) {
  EventRecord r = DefaultEventRecord();
  CopyRecordText(r.familyName, sizeof r.familyName, "Schr\xc3\xb6" "der");
  r.year = 1955; r.month = 3; r.day = 17; r.hour = 23; r.minute = 59; r.second = 1;
  r.summerTime = 1; r.timeZone = 2; r.latitudeDegrees = -33; r.latitudeMinutes = -52;
  std::string path = TempPath("roundtrip.person");
  ASSERT_TRUE(SavePersonFile(path.c_str(), r));
  EventRecord back{};
  ASSERT_TRUE(LoadEventRecord(path.c_str(), back));
  EXPECT_EQ(std::memcmp(&r, &back, sizeof r), 0);
  std::FILE* tmp = std::fopen((path + ".tmp").c_str(), "rb");
  EXPECT_EQ(tmp, nullptr) << "the temporary file must be gone";
  if (tmp) std::fclose(tmp);
}

TEST(PersonFile, UnreadableOrBadFileShowsMessageAndLeavesDefaults) {
  SetRecordMessageSink(Capture);
  EventRecord r{};
  std::string missing = TempPath("no-such.person");
  EXPECT_FALSE(LoadEventRecord(missing.c_str(), r));
  EXPECT_EQ(lastMessage, "error opening " + missing);
  EXPECT_STREQ(r.familyName, "Doe");

  std::string bad = TempPath("bad.person");
  WriteFile(bad, "first name = Eve\nmonth = 0\n");
  EXPECT_FALSE(LoadEventRecord(bad.c_str(), r));
  EXPECT_NE(lastMessage.find("line 2"), std::string::npos) << lastMessage;
  EXPECT_STREQ(r.firstName, "John") << "defaults stay when the file is rejected";
  SetRecordMessageSink(nullptr);
}

TEST(PersonFile, SaveIntoMissingFolderFailsCleanly) {
  EventRecord r = DefaultEventRecord();
  std::string path = TempPath("no-such-dir/x.person");
  EXPECT_FALSE(SavePersonFile(path.c_str(), r));
}

}  // namespace
