// A continuum run ended before its end: stopped by a click on the busy
// field, or cancelled with Escape halfway through its dialogs. Either way
// every working file is as it was before the run, byte for byte, and the
// run leaves its record, which says how it ended and names no working file
// as written.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "analyses/continuum.h"
#include "app/main_window.h"
#include "app/module_stop.h"
#include "app/testing.h"
#include "data/open_dialogs.h"
#include "qzk/events.h"
#include "qzk/platform/headless.h"
#include "qzk/updown.h"
#include "read_file.h"

namespace {

const char* const kContinuum = "1- Statistics 1 - Continuum";

// Every file below the working folder (the log and the runs' records
// aside) with its bytes.
std::map<std::string, std::string> WorkingFiles(const std::string& dir) {
  std::map<std::string, std::string> files;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir)) {
    const std::string relative = e.path().lexically_relative(dir).string();
    if (e.is_regular_file() && e.path().filename() != "qzk.log" && relative.rfind("records/", 0) != 0)
      files[relative] = ReadFile(e.path().string());
  }
  return files;
}

// The manifests of the records of runs that ended early.
std::vector<std::string> EarlyEndManifests(const std::string& dir) {
  std::vector<std::string> found;
  if (!std::filesystem::is_directory(dir + "/records")) return found;
  for (const auto& e : std::filesystem::directory_iterator(dir + "/records")) {
    const std::string manifest = ReadFile((e.path() / "manifest.json").string());
    if (manifest.find("\"outcome\": \"ended early\"") != std::string::npos) found.push_back(manifest);
  }
  return found;
}

// The record of the one run that ended early: its message, and among its
// outputs no file outside the record's folder.
void ExpectEarlyEndRecord(const std::string& dir, const std::string& message) {
  const std::vector<std::string> manifests = EarlyEndManifests(dir);
  ASSERT_EQ(manifests.size(), 1u);
  const std::string& m = manifests[0];
  EXPECT_NE(m.find("\"ended early: " + message + "\""), std::string::npos) << m;
  const std::size_t outputs = m.find("\"outputs\": [");
  ASSERT_NE(outputs, std::string::npos) << m;
  const std::string listed = m.substr(outputs, m.find(']', outputs) - outputs);
  std::smatch path;
  for (auto at = listed.cbegin();
       std::regex_search(at, listed.cend(), path, std::regex("\"path\": \"([^\"]*)\""));
       at = path.suffix().first)
    EXPECT_EQ(path[1].str().rfind("records/", 0), 0u) << "no working file written: " << path[1];
}

void Click(qzWidget& w) {
  const qzRect& r = w.rect();
  qzheadless_click(w.window()->nativeHandle(), r.x + r.w / 2, r.y + r.h / 2);
}

// A finished run of 2 moments of order 3 leaves the files to compare with.
void FinishedRun(WorkbenchSession& s) {
  for (const char* a : {"Order of the correlation -> 3", "with IC -> no", "Members of the group -> 1",
                        "Should planets be selected -> no", "Should the planets get a weight -> no",
                        "Should self-correlations -> no", "Enter start-date -> 1.1.1900 0:00",
                        "Enter end-date -> 1.1.2100 0:00", "* Number per interval -> 2",
                        "Selection accidental -> no"})
    s.Answer(a);
  ASSERT_TRUE(s.Run(kContinuum)) << s.Error();
}

// Answers every dialog of a second run with other settings (order 5, IC,
// 900 000 moments); `last` acts on the last dialog after its answer.
void SecondRun(std::function<void(OpenDialog&)> atQuestion, const std::string& question) {
  MainWindow& m = *Shell();
  auto done = std::make_shared<int>(0);
  qzheadless_set_idle_hook([=] {
    OpenDialog* d = TopOpenDialog();
    if (!d || d->serial == *done) return;
    *done = d->serial;
    if (d->question.find(question) != std::string::npos) {
      atQuestion(*d);
      return;
    }
    if (d->question.find("Order") != std::string::npos) static_cast<qzUpDownControl*>(d->fields[0])->setValue(5);
    if (d->question.find("Number per interval") != std::string::npos)
      static_cast<qzUpDownControl*>(d->fields[0])->setValue(900000);
    bool yes = d->question.find("with IC") != std::string::npos;
    Click(*d->buttons[d->kind == DialogKind::YesNo && !yes ? 1 : 0]);
  });
  const qzRect& tab = m.tabs.tabRect(0);
  qzheadless_click(m.window.nativeHandle(), tab.x + 2, tab.y + 2);
  qzdispatch_pending();
  Click(m.modules[static_cast<size_t>(MenuButtonIndex(kContinuum))]);
  for (int event; (event = qzpoll_event()) != 0;) HandleMainEvent(event);
  qzheadless_set_idle_hook({});
}

TEST(ContinuumStopping, AClickOnTheBusyFieldStopsTheRunAtItsNextStep) {
  WorkbenchSession s({{kContinuum, RunContinuum}});
  FinishedRun(s);
  const auto before = WorkingFiles(s.Dir());
  ASSERT_GE(before.size(), 8u);

  MainWindow& m = s.Window();
  SecondRun(
      [&](OpenDialog& d) {
        Click(*d.buttons[1]);  // "No"
        // The click on the busy field must come while the moments are
        // computed: behind more mouse moves than one dispatch round takes
        // (10 000), so that the dialog has its answer first and the click
        // is handled by the computation's own dispatching.
        const int main = m.window.nativeHandle();
        for (int i = 0; i < 15000; ++i) qzheadless_mouse_move(main, 5 + i % 7, 5);
        Click(m.status);
      },
      "Selection accidental");
  EXPECT_EQ(WorkingFiles(s.Dir()), before) << "every working file as before the run";
  std::smatch where;
  // The run had cleared its page, Text 1, when it stopped.
  const std::string menu = s.Text(1);
  ASSERT_TRUE(std::regex_search(menu, where, std::regex(" stopped after (\\d+) of 900000 moments; no working file")))
      << menu;
  EXPECT_LT(std::stoi(where[1]), 900000);
  EXPECT_EQ(std::stoi(where[1]) % 500, 0) << "at the end of a step";
  EXPECT_EQ(menu.find(" stopped\n"), std::string::npos) << "said once";
  EXPECT_FALSE(ModuleStopRequested()) << "the next module starts afresh";
  EXPECT_TRUE(m.modules[1].enabled());
  EXPECT_TRUE(qzrunning());
  ExpectEarlyEndRecord(s.Dir(), "stopped");
}

TEST(ContinuumStopping, QuittingWhileItComputesEndsTheRunThenTheProgram) {
  WorkbenchSession s({{kContinuum, RunContinuum}});
  FinishedRun(s);
  const auto before = WorkingFiles(s.Dir());
  MainWindow& m = s.Window();
  SecondRun(
      [&](OpenDialog& d) {
        Click(*d.buttons[1]);
        const int main = m.window.nativeHandle();
        for (int i = 0; i < 15000; ++i) qzheadless_mouse_move(main, 5 + i % 7, 5);  // as above
        Click(m.quit);
      },
      "Selection accidental");
  EXPECT_FALSE(qzrunning()) << "the program ends";
  EXPECT_EQ(WorkingFiles(s.Dir()), before);
  EXPECT_EQ(s.Text(1).find("Matrix H"), std::string::npos) << "no report of a partial run";
  ExpectEarlyEndRecord(s.Dir(), "ended by quitting");
}

TEST(ContinuumStopping, EscapeHalfwayThroughTheDialogsChangesNoFile) {
  WorkbenchSession s({{kContinuum, RunContinuum}});
  FinishedRun(s);
  const auto before = WorkingFiles(s.Dir());
  // By the period's dialogs the settings files were already written anew.
  SecondRun([](OpenDialog& d) { qzheadless_key(d.window->nativeHandle(), QZ_KEY_ESCAPE); }, "Enter end-date");
  EXPECT_EQ(WorkingFiles(s.Dir()), before);
  EXPECT_NE(s.Text(0).find("\n cancelled"), std::string::npos) << s.Text(0);
  ExpectEarlyEndRecord(s.Dir(), "cancelled");

  // A whole run afterwards writes its files again.
  s.Answer("Order of the correlation -> 4");
  for (const char* a : {"with IC -> no", "Members of the group -> 1", "Should planets be selected -> no",
                        "Should the planets get a weight -> no", "Should self-correlations -> no",
                        "Enter start-date -> 1.1.1900 0:00", "Enter end-date -> 1.1.2100 0:00",
                        "* Number per interval -> 2", "Selection accidental -> no"})
    s.Answer(a);
  ASSERT_TRUE(s.Run(kContinuum)) << s.Error();
  EXPECT_EQ(ReadFile("datord.txt"), "4\n");
}

}  // namespace
