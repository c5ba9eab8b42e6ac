// A module run in the window (headless, its real dialogs answered) leaves
// a record under records/, and the record's replay, run as a batch of the
// kmwb program in a copy of the inputs, writes the same working files.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "analyses/continuum.h"
#include "app/testing.h"
#include "core/worker_pool.h"
#include "probability/resonance.h"
#include "qzk/sha256.h"
#include "read_file.h"
#include "temp_folder.h"

namespace fs = std::filesystem;

namespace {

int Shell(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool HavePython() { return Shell("python3 -c 'import json' 2>/dev/null") == 0; }

// The manifest read by Python's json module (an independent reader):
// one line per value asked for, "key=value" ("answer=...", "output=...").
std::vector<std::string> ManifestLines(const std::string& manifest) {
  const std::string out = manifest + ".lines";
  const std::string script =
      "import json,sys\n"
      "m = json.load(open(sys.argv[1], encoding='utf-8'))\n"
      "with open(sys.argv[2], 'w') as f:\n"
      "  for k in ['program', 'module', 'seed', 'threads', 'ephemeris', 'started', 'finished']:\n"
      "    f.write('%s=%s\\n' % (k, m[k]))\n"
      "  for a in m['answers']: f.write('answer=%s -> %s\\n' % (' '.join(a['question'].split()), a['answer']))\n"
      "  for o in m['outputs']: f.write('output=%s %d %s\\n' % (o['path'], o['bytes'], o['sha256']))\n"
      "  for i in m['inputs']: f.write('input=%s\\n' % i['path'])\n";
  std::ofstream("read_manifest.py") << script;
  if (Shell("python3 read_manifest.py '" + manifest + "' '" + out + "'") != 0) return {};
  std::vector<std::string> lines;
  std::istringstream in(ReadFile(out));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> With(const std::vector<std::string>& lines, const std::string& key) {
  std::vector<std::string> values;
  for (const std::string& l : lines)
    if (l.compare(0, key.size() + 1, key + "=") == 0) values.push_back(l.substr(key.size() + 1));
  return values;
}

// The one record folder below records/ that is not in `seen`.
std::string NewRecord(const std::string& dir, std::vector<std::string>& seen) {
  std::string found;
  for (const auto& e : fs::directory_iterator(dir + "/records")) {
    const std::string name = "records/" + e.path().filename().string();
    if (std::find(seen.begin(), seen.end(), name) == seen.end()) found = name;
  }
  seen.push_back(found);
  return found;
}

void CopyFolder(const std::string& from, const std::string& to) {
  fs::create_directories(to);
  fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

// Runs the record's replay in `copy` (the working folder as it was before
// the module, with the record beside it) and compares every working file
// the manifest lists with the window run's, byte for byte.
void ExpectReplayGivesTheSameFiles(const std::string& session, const std::string& record,
                                   const std::vector<std::string>& manifest, const std::string& copy,
                                   int workingFiles) {
  CopyFolder(session + "/" + record, copy + "/" + record);
  const std::string seed = With(manifest, "seed").at(0);
  const std::string command = "cd '" + copy + "' && '" + BINARY_DIR + "/kmwb' --batch " + record +
                              "/replay.kmwb --seed " + seed + " --out replayed > replay.log 2>&1";
  ASSERT_EQ(Shell(command), 0) << ReadFile(copy + "/replay.log");
  int compared = 0;
  for (const std::string& o : With(manifest, "output")) {
    const std::string path = o.substr(0, o.find(' '));
    if (path.rfind("records/", 0) == 0) continue;
    const std::string original = ReadFile(session + "/" + path);
    EXPECT_EQ(o.substr(o.rfind(' ') + 1), qzsha256_hex(original)) << path;
    EXPECT_TRUE(ReadFile(copy + "/" + path) == original) << path << " differs after the replay";
    ++compared;
  }
  EXPECT_EQ(compared, workingFiles) << "the working files the module writes";
}

}  // namespace

TEST(WindowRecord, ContinuumAndEnteredPersonReplayAsBatches) {
  if (!HavePython()) GTEST_SKIP() << "python3 (Debian python3) reads the manifests";
  WorkbenchSession s({{"1- Statistics 1 - Continuum", RunContinuum},
                      {"6- Planetary Fluctuations - resonances", RunResonanceCurve}});
  ASSERT_TRUE(s.CopyIn(std::string(SOURCE_DIR) + "/examples/anna-meier.person"));
  const std::string dir = s.Dir();
  const std::string empty = MakeTempFolder("window_record_before_");
  std::vector<std::string> seen;

  // Random moments after a few draws: the record's seed must give the same draws.
  const std::vector<std::string> continuum = {
      "Order of the correlation (1,2,3,...12): -> 4", "with IC? -> yes", "Members of the group -> 2",
      "Should planets be selected ? -> yes", "selected planets -> 1 1 0 1 1 1 1 1 1 0.5 1",
      "Should self-correlations -> no", "Enter start-date -> 1.1.1950 0:00", "Enter end-date -> 1.1.2050 0:00",
      "* Number per interval -> 300", "Selection accidental? -> yes"};
  for (const std::string& a : continuum) s.Answer(a);
  ASSERT_TRUE(s.Run("1- Statistics 1 - Continuum")) << s.Error();
  const std::string first = NewRecord(dir, seen);
  ASSERT_FALSE(first.empty());
  EXPECT_NE(s.Text(0).find("record: " + first), std::string::npos) << "the menu page names the record";
  const std::vector<std::string> m1 = ManifestLines(dir + "/" + first + "/manifest.json");
  ASSERT_FALSE(m1.empty());
  EXPECT_EQ(With(m1, "program"), std::vector<std::string>{"kmwb"});
  EXPECT_EQ(With(m1, "module"), std::vector<std::string>{"1- Statistics 1 - Continuum"});
  EXPECT_EQ(With(m1, "threads").at(0), std::to_string(WorkerThreads())) << "the pool's threads";
  const std::vector<std::string> answers = With(m1, "answer");
  ASSERT_EQ(answers.size(), continuum.size()) << "every dialog";
  EXPECT_EQ(answers[0], "Order of the correlation (1,2,3,...12): -> 4");
  EXPECT_EQ(answers[4], "selected planets -> 1 1 0 1 1 1 1 1 1 0.5 1");
  EXPECT_EQ(answers[6], "Enter start-date -> 1.1.1950 0:0:-");
  EXPECT_EQ(answers.back(), "Selection accidental? -> yes");
  EXPECT_TRUE(fs::exists(dir + "/" + first + "/matrices.csv"));
  EXPECT_TRUE(fs::exists(dir + "/" + first + "/text-1.txt")) << "the module's pages are in its record";
  // The seven settings, the ten files of means and, for at most 1000 moments, the compare group.
  ExpectReplayGivesTheSameFiles(dir, first, m1, empty + "/continuum", 7 + 10 + 2);

  // The working folder before the second module, for its replay.
  CopyFolder(dir, empty + "/resonance");
  fs::remove_all(empty + "/resonance/records");
  fs::remove(empty + "/resonance/anna-meier.person");  // the replay takes the values from the record
  for (const char* a :
       {"Order of the correlation -> 3", "with IC? then 10: -> 10", "gravity planets -> - - - - - - - - - - -",
        "Person: -> enter the data", "Daten bearbeiten -> anna-meier.person", "Birth time coupling factor -> 5",
        "Enter the period: -> Transits for one day", "date / time: -> 1.3.2024", "hoar : -> 12",
        "minute : -> 1"})
    s.Answer(a);
  ASSERT_TRUE(s.Run("6- Planetary Fluctuations - resonances")) << s.Error();
  const std::string second = NewRecord(dir, seen);
  const std::vector<std::string> m2 = ManifestLines(dir + "/" + second + "/manifest.json");
  const std::vector<std::string> entered = With(m2, "answer");
  ASSERT_EQ(entered.size(), 10u);
  EXPECT_EQ(entered[7], "date / time: -> 1.3.2024 -:-:-") << "the disabled fields keep their values";
  EXPECT_EQ(entered[4], "Daten bearbeiten / eingeben -> " + second + "/entry-1.person")
      << "values typed into the entry dialog are kept as a person file";
  EXPECT_NE(ReadFile(dir + "/" + second + "/entry-1.person").find("family name = Meier"), std::string::npos);
  EXPECT_TRUE(fs::exists(dir + "/" + second + "/curves.csv"));
  const std::vector<std::string> inputs = With(m2, "input");
  EXPECT_NE(std::find(inputs.begin(), inputs.end(), "datplanet.txt"), inputs.end()) << "the continuum's weights";
  ExpectReplayGivesTheSameFiles(dir, second, m2, empty + "/resonance", 1);  // the weights written back
}
