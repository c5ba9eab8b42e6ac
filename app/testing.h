#pragma once
// End-to-end tests of modules: the real workbench on the headless backend.
//
//     #include "app/testing.h"
//
//     TEST(Continuum, WritesItsMeans) {
//       WorkbenchSession s({{"1- Statistics 1 - Continuum", RunContinuum}});
//       s.CopyIn(std::string(TEST_DATA_DIR) + "/persons.dbf");   // into s.Dir()
//       s.Answer("Order -> 3");             // as in a batch script:
//       s.Answer("1.1.1950 0:00:00");       // "question start -> answer" or a bare answer
//       ASSERT_TRUE(s.Run("1- Statistics 1 - Continuum")) << s.Error();
//       EXPECT_NE(s.Text(1).find("H-Matrix"), std::string::npos);
//       const qzPixmap& g = s.Graphic(1);   // the page's canvas pixels
//     }
//
// The session makes a fresh temporary folder, makes it the current
// directory (working files land there; the old directory comes back at
// the end), builds the main window through the real start-up and waits
// for Run: it clicks the Menu tab and the module's button, and the main
// loop runs the module between ModuleBegin and ModuleEnd. The queued
// answers are entered into the module's dialogs as a batch run would
// (app/answers.h lists the formats); Run returns false and Error() says
// why when an answer's question prefix does not match, answers run out,
// or answers are left over. One session at a time per process.
#include <cstdint>
#include <string>
#include <vector>

#include "app/answers.h"
#include "app/main_window.h"
#include "app/module_report.h"
#include "app/modules.h"

struct qzPixmap;

class WorkbenchSession {
 public:
  explicit WorkbenchSession(const std::vector<ModuleEntry>& modules = {});
  ~WorkbenchSession();
  WorkbenchSession(const WorkbenchSession&) = delete;
  WorkbenchSession& operator=(const WorkbenchSession&) = delete;

  // The temporary working folder (the current directory during the session).
  const std::string& Dir() const { return dir_; }
  // Copies a file into the working folder (under `name`, or its own name).
  bool CopyIn(const std::string& source, const std::string& name = "");

  // Queues one answer: "question start -> value" or a bare value.
  void Answer(const std::string& line);
  // Runs the module of the menu button with this label; false with
  // Error() when the answers did not fit.
  bool Run(const std::string& label);
  const std::string& Error() const { return error_; }
  // How the module that Run ran ended (app/module_report.h).
  const ModuleReport& Report() const { return report_; }

  // Text page 1..6, or the menu page with 0.
  std::string Text(int page) const;
  // Graphic page 1..6: its canvas pixels.
  const qzPixmap& Graphic(int page) const;
  // The status field's pixel as the main window shows it (x 0..199, y 0..19).
  uint32_t StatusPixel(int x, int y) const;
  MainWindow& Window() const;

 private:
  std::string dir_, oldDir_;
  AnswerQueue queue_;
  std::string error_;
  ModuleReport report_;
};
