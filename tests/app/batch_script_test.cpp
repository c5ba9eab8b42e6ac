#include <gtest/gtest.h>

#include "app/answers.h"
#include "app/batch_script.h"

namespace {

TEST(BatchScript, ModulesAnswersAndPrefixes) {
  BatchScript s;
  std::string error;
  ASSERT_TRUE(ParseBatchScript("# comment\n\nrun 17- Julian Date\n  Julian Date -> 1\n"
                               "1.1.2000 12:00:00\nrun\t0- WELCOME\n",
                               s, error))
      << error;
  ASSERT_EQ(s.modules.size(), 2u);
  EXPECT_EQ(s.modules[0].label, "17- Julian Date");
  EXPECT_EQ(s.modules[0].line, 3);
  ASSERT_EQ(s.modules[0].answers.size(), 2u);
  EXPECT_EQ(s.modules[0].answers[0].prefix, "Julian Date");
  EXPECT_EQ(s.modules[0].answers[0].value, "1");
  EXPECT_EQ(s.modules[0].answers[0].line, 4);
  EXPECT_EQ(s.modules[0].answers[1].prefix, "");
  EXPECT_EQ(s.modules[0].answers[1].value, "1.1.2000 12:00:00");
  EXPECT_EQ(s.modules[1].label, "0- WELCOME");
  EXPECT_TRUE(s.modules[1].answers.empty());
}

TEST(BatchScript, RejectsLinesOutsideTheSyntaxWithTheirNumber) {
  BatchScript s;
  std::string error;
  EXPECT_FALSE(ParseBatchScript("\n5\nrun X\n", s, error));
  EXPECT_EQ(error, "line 2: an answer before the first \"run\" line");
  EXPECT_FALSE(ParseBatchScript("run X\nrun   \n", s, error));
  EXPECT_EQ(error, "line 2: \"run\" needs the menu label of a module");
  EXPECT_FALSE(ParseBatchScript("run X\nOrder ->  \n", s, error));
  EXPECT_EQ(error, "line 2: the answer after \"->\" is empty");
  // Windows line ends and a byte-order mark are no part of the syntax.
  ASSERT_TRUE(ParseBatchScript("\xEF\xBB\xBF# c\r\nrun 0- WELCOME\r\nyes\r\n", s, error)) << error;
  EXPECT_EQ(s.modules[0].label, "0- WELCOME");
  EXPECT_EQ(s.modules[0].answers[0].value, "yes");
  // "running" is an answer, not a run line.
  ASSERT_TRUE(ParseBatchScript("run X\nrunning\n", s, error));
  EXPECT_EQ(s.modules[0].answers[0].value, "running");
}

TEST(Answers, QuestionPrefixIgnoresCaseAndLineBreaks) {
  EXPECT_TRUE(QuestionStartsWith("\n Order of the\n   harmonics (1-12)?", "order of the harmonics"));
  EXPECT_FALSE(QuestionStartsWith("Order?", "Orders"));
  EXPECT_TRUE(QuestionStartsWith("anything", ""));
}

TEST(Answers, QueueNamesTheLineWhenOutOfStep) {
  AnswerQueue q;
  q.Reset({{5, "Order", "3"}}, 6, "a.kmwb");
  ScriptAnswer a;
  std::string error;
  EXPECT_FALSE(q.Take("Group size?", a, error));
  EXPECT_EQ(error, "a.kmwb, line 5: the answer is for \"Order\" but the dialog asks \"group size?\"");
  ASSERT_TRUE(q.Take("order of harmonics", a, error));
  EXPECT_EQ(a.value, "3");
  EXPECT_FALSE(q.Take("Group size?", a, error));
  EXPECT_EQ(error, "a.kmwb, line 6: no answer left for \"group size?\"");
}

TEST(Answers, ValueFormats) {
  EXPECT_EQ(ParseYesNoAnswer("Ja"), 1);
  EXPECT_EQ(ParseYesNoAnswer("n"), 0);
  EXPECT_EQ(ParseYesNoAnswer("maybe"), -1);
  long v = 0;
  EXPECT_FALSE(ParseWholeAnswer("12x", v));
  EXPECT_FALSE(ParseWholeAnswer("99999999999999999999", v));
  EXPECT_TRUE(ParseWholeAnswer("-12", v));
  EXPECT_EQ(v, -12);
  EXPECT_EQ(ParseChoiceAnswer("2", {"a", "b"}), 2);
  EXPECT_EQ(ParseChoiceAnswer("3", {"a", "b"}), 0);
  EXPECT_EQ(ParseChoiceAnswer("B", {"a", "b"}), 2);

  std::vector<std::optional<std::string>> values;
  ASSERT_TRUE(ParseArrayAnswer("57.2; 10.24 - 1", 4, values));
  EXPECT_EQ(*values[1], "10.24");
  EXPECT_FALSE(values[2].has_value());
  EXPECT_FALSE(ParseArrayAnswer("1 2", 3, values)) << "one value per row";

  std::optional<int> f[6];
  ASSERT_TRUE(ParseDateTimeAnswer("17.3.1955 23:59", f));
  EXPECT_EQ(*f[0], 17);
  EXPECT_EQ(*f[2], 1955);
  EXPECT_EQ(*f[4], 59);
  EXPECT_EQ(*f[5], 0);
  ASSERT_TRUE(ParseDateTimeAnswer("1.-.2000", f));
  EXPECT_FALSE(f[1].has_value());
  EXPECT_EQ(*f[3], 0);
  EXPECT_FALSE(ParseDateTimeAnswer("1.2", f));
  EXPECT_FALSE(ParseDateTimeAnswer("1.2.x 10:00", f));
}

}  // namespace
