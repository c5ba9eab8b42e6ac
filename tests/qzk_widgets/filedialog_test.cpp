// The file dialog, answered through the headless backend's idle hook the
// way a batch run answers it: the real window is built and its widgets
// get the clicks and keys.
#include "qzk/filedialog.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <deque>

#include "widget_test_util.h"

namespace fs = std::filesystem;

namespace {

// Steps run one at a time whenever the toolkit waits for input; each step
// only queues input (the toolkit handles it when the wait returns).
class Script {
 public:
  explicit Script(std::deque<std::function<void(qzFileDialog&)>> steps) : steps_(std::move(steps)) {
    qzheadless_set_idle_hook([this] { next(); });
  }
  ~Script() { qzheadless_set_idle_hook({}); }
  bool finished() const { return steps_.empty(); }

 private:
  void next() {
    qzFileDialog* d = qzFileDialog::current();
    if (!d || steps_.empty()) return;
    auto step = steps_.front();
    steps_.pop_front();
    step(*d);
  }
  std::deque<std::function<void(qzFileDialog&)>> steps_;
};

void click(qzWidget& w) {
  const qzRect& r = w.rect();
  qzheadless_click(w.window()->nativeHandle(), r.x + r.w / 2, r.y + r.h / 2);
}
void type_in(qzFileDialog& d, const std::string& text) { qzheadless_text(d.window.nativeHandle(), text); }
void enter(qzFileDialog& d) { qzheadless_key(d.window.nativeHandle(), QZ_KEY_RETURN); }
// The top window when it is not the dialog: the overwrite question.
void answer(const char* caption) {
  qzWindow* top = qzdrive_top_window();
  if (qzWidget* b = top ? qzdrive_find(*top, caption) : nullptr) click(*b);
}

class FileDialog : public WidgetTest {
 protected:
  void SetUp() override {
    WidgetTest::SetUp();
    dir = fs::absolute(fs::path(testing::TempDir()) / ("fd_" + std::to_string(::getpid()) + "_" +
                                                        testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir);
    fs::create_directories(dir / "sub");
    for (const char* n : {"a.txt", "b.txt", "c.bmp", "sub/inner.txt"}) std::ofstream(dir / n) << "x";
  }
  void TearDown() override {
    fs::remove_all(dir);
    WidgetTest::TearDown();
  }
  std::string d() const { return dir.string(); }
  fs::path dir;
};

}  // namespace

TEST_F(FileDialog, CancelReturnsFalseWithAnEmptyPath) {
  std::string path = "stale";
  {
    Script s({[](qzFileDialog& fd) { click(fd.cancel); }});
    EXPECT_FALSE(qzfiledialog(path, "filter=*.txt,dir=%s", d().c_str()));
  }
  EXPECT_EQ(path, "");
  path = "stale";
  {
    Script s({[](qzFileDialog& fd) { qzheadless_close(fd.window.nativeHandle()); }});
    EXPECT_FALSE(qzfiledialog(path, "save,filter=*.txt,dir=%s", d().c_str()));
  }
  EXPECT_EQ(path, "");
  EXPECT_TRUE(qzrunning());  // closing the dialog does not end the program
  EXPECT_EQ(qzFileDialog::current(), nullptr);
}

TEST_F(FileDialog, SavedNameWithoutExtensionGetsTheDefault) {
  std::string path;
  std::string title;
  Script s({[&](qzFileDialog& fd) {
    title = fd.window.title();
    type_in(fd, "page");
    enter(fd);
  }});
  EXPECT_TRUE(qzfiledialog(path, "save,filter=*.bmp,defaultext=bmp,dir=%s", d().c_str()));
  EXPECT_EQ(path, d() + "/page.bmp");
  EXPECT_EQ(title, "Save as");
  EXPECT_FALSE(fs::exists(path));  // the dialog only chooses
}

TEST_F(FileDialog, ListShowsFilteredEntriesAndNavigatesFolders) {
  std::string path;
  std::vector<std::string> first, inSub, secondFilter;
  Script s({
      [&](qzFileDialog& fd) {
        first = fd.entries.entries();
        // A double click on "sub/".
        qzRect r = fd.entries.entryRect(1);
        qzheadless_click(fd.window.nativeHandle(), r.x + 5, r.y + 2);
        qzheadless_click(fd.window.nativeHandle(), r.x + 5, r.y + 2);
      },
      [&](qzFileDialog& fd) {
        inSub = fd.entries.entries();
        click(fd.up);
      },
      [&](qzFileDialog& fd) {
        // The second filter, chosen in the type box.
        fd.filter.openList();
        qzRect r = fd.filter.popup().entryRect(1);
        qzheadless_click(fd.window.nativeHandle(), r.x + 5, r.y + r.h / 2);
      },
      [&](qzFileDialog& fd) {
        secondFilter = fd.entries.entries();
        // Clicking a file puts its name into the line; Open takes it.
        qzRect r = fd.entries.entryRect(2);
        qzheadless_click(fd.window.nativeHandle(), r.x + 5, r.y + 2);
      },
      [&](qzFileDialog& fd) { click(fd.accept); },
  });
  EXPECT_TRUE(qzfiledialog(path, "title=Pick a list,filter=*.txt|Text lists,filter=*.bmp,dir=%s", d().c_str()));
  EXPECT_EQ(first, (std::vector<std::string>{"../", "sub/", "a.txt", "b.txt"}));
  EXPECT_EQ(inSub, (std::vector<std::string>{"../", "inner.txt"}));
  EXPECT_EQ(secondFilter, (std::vector<std::string>{"../", "sub/", "c.bmp"}));
  EXPECT_EQ(path, d() + "/c.bmp");
}

TEST_F(FileDialog, OpenWantsAnExistingFile) {
  std::string path;
  std::string message;
  Script s({
      [](qzFileDialog& fd) {
        type_in(fd, "missing");
        enter(fd);
      },
      [&](qzFileDialog& fd) {
        message = fd.status.text();
        qzheadless_key(fd.window.nativeHandle(), 'a', QZ_MOD_CTRL);
        type_in(fd, "sub\\inner");  // Windows separators and the default extension
        enter(fd);
      },
  });
  EXPECT_TRUE(qzfiledialog(path, "filter=*.txt,defaultext=txt,dir=%s", d().c_str()));
  EXPECT_EQ(message, "File not found: missing.txt");
  EXPECT_EQ(path, d() + "/sub/inner.txt");
}

TEST_F(FileDialog, SaveAsksBeforeReplacingAFile) {
  std::string path;
  bool asked = false;
  Script no({
      [](qzFileDialog& fd) {
        type_in(fd, "a");
        enter(fd);
      },
      [&](qzFileDialog&) {
        asked = qzdrive_top_window() && qzdrive_top_window()->title() == "file exists";
        answer("No");
      },
      [](qzFileDialog& fd) { click(fd.cancel); },
  });
  EXPECT_FALSE(qzfiledialog(path, "save,filter=*.txt,defaultext=txt,dir=%s", d().c_str()));
  EXPECT_TRUE(asked);
  EXPECT_TRUE(no.finished());
}

TEST_F(FileDialog, SaveReplacesAfterYes) {
  std::string path;
  Script yes({
      [](qzFileDialog& fd) {
        type_in(fd, "b.txt");
        click(fd.accept);
      },
      [](qzFileDialog&) { answer("Yes"); },
  });
  EXPECT_TRUE(qzfiledialog(path, "save,filter=*.txt,defaultext=txt,dir=%s", d().c_str()));
  EXPECT_EQ(path, d() + "/b.txt");
}
