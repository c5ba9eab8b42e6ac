// libFuzzer target of the batch scripts: any bytes as a script, parsed,
// then every answer read by each of the dialogs' value parsers and taken
// from an answer queue as the dialogs do. Built by fuzz/text_build.sh.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "app/answers.h"
#include "app/batch_script.h"
#include "fuzz/fuzz_check.h"

namespace {

void read_answer(const ScriptAnswer& a) {
  check(!a.value.empty());
  check(a.line > 0);
  long whole = 0;
  ParseWholeAnswer(a.value, whole);
  const int yes = ParseYesNoAnswer(a.value);
  check(yes >= -1 && yes <= 1);
  std::vector<std::optional<std::string>> values;
  const size_t n = a.value.size() % 7;
  if (ParseArrayAnswer(a.value, n, values)) check(values.size() == n);
  const std::vector<std::string> labels{"&OK", "Abbrechen", a.prefix};
  const int choice = ParseChoiceAnswer(a.value, labels);
  check(choice >= 0 && choice <= static_cast<int>(labels.size()));
  std::optional<int> fields[6];
  if (ParseDateTimeAnswer(a.value, fields))
    for (const auto& f : fields) check(!f || (*f >= -100000 && *f <= 100000));
  const std::string normal = NormaliseQuestion(a.value);
  check(normal.empty() || (normal.front() != ' ' && normal.back() != ' '));
  check(QuestionStartsWith(a.value, a.value));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  BatchScript script;
  std::string error;
  if (!ParseBatchScript(text, script, error)) {
    check(error.compare(0, 5, "line ") == 0);
    return 0;
  }
  check(error.empty());
  for (const ScriptModule& m : script.modules) {
    check(!m.label.empty());
    for (const ScriptAnswer& a : m.answers) read_answer(a);
    AnswerQueue queue;
    queue.Reset(m.answers, m.line, "fuzz.kmwb");
    ScriptAnswer taken;
    for (const ScriptAnswer& a : m.answers) {
      // The answer's own prefix is the start of a question it fits.
      check(queue.Take(a.prefix + " and more", taken, error));
      check(taken.value == a.value);
    }
    check(queue.Empty());
    check(!queue.Take("anything", taken, error));
  }
  return 0;
}
