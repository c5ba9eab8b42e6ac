#include "qzk/filedialog.h"

#include <cstdarg>
#include <filesystem>
#include <system_error>
#include <unistd.h>

#include "qzk/events.h"
#include "qzk/log.h"
#include "qzk/options.h"
#include "qzk/platform/platform.h"

namespace fs = std::filesystem;

namespace {

qzFileDialog* g_open = nullptr;

bool is_dir(const std::string& p) {
  std::error_code ec;
  return fs::is_directory(p, ec);
}

bool is_file(const std::string& p) {
  std::error_code ec;
  return fs::exists(p, ec) && !fs::is_directory(p, ec);
}

std::string current_dir() {
  std::error_code ec;
  fs::path p = fs::current_path(ec);
  return ec ? std::string(".") : qzfiledialog_normalise(p.string());
}

std::string last_part(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

qzFileDialog* qzFileDialog::current() { return g_open; }

bool qzfiledialog(std::string& path, const char* options, ...) {
  va_list args;
  va_start(args, options);
  std::string text = qzopt_vformat(options ? options : "", args);
  va_end(args);
  qzFileDialog dialog;
  return dialog.run(path, text);
}

void qzFileDialog::build() {
  window.create("%s,x=50%,y=50%,xs=460,ys=330,modal,nosysmenu,noquit", title_.c_str());
  folderLabel.create("x=8,y=8,xs=60,ys=30");
  folderLabel.setText("Folder:");
  folderText.create("x=70,y=8,xs=300,ys=30");
  up.create("Up,x=380,y=8,xs=72,ys=24");
  entries.create("x=8,y=44,xs=444,ys=190");
  nameLabel.create("x=8,y=246,xs=60,ys=20");
  nameLabel.setText("Name:");
  name.create("x=70,y=242,xs=280,ys=24,keepfocus");
  accept.create("%s,x=360,y=242,xs=92,ys=24,default", save_ ? "&Save" : "&Open");
  filterLabel.create("x=8,y=276,xs=60,ys=20");
  filterLabel.setText("Type:");
  std::string choices;
  for (size_t i = 0; i < filters_.size(); ++i) choices += (i ? "|" : "") + filters_[i].description;
  filter.create("x=70,y=274,xs=280,entries=%s", choices.c_str());
  cancel.create("Cancel,x=360,y=272,xs=92,ys=24");
  status.create("x=8,y=304,xs=444,ys=20,color=lightred");
  name.takeFocus();
}

void qzFileDialog::refresh() {
  const qzFileFilter& f = useTyped_ ? typedFilter_ : filters_[std::max(0, filter.selectedIndex())];
  listed_ = qzfiledialog_list(folder_, f);
  std::vector<std::string> shown;
  for (const qzFolderEntry& e : listed_) shown.push_back(e.folder ? e.name + "/" : e.name);
  entries.clear();
  entries.setEntries(shown);
  folderText.setText(folder_);
}

void qzFileDialog::show(const std::string& folder) {
  folder_ = qzfiledialog_normalise(folder);
  status.setText("");
  refresh();
}

bool qzFileDialog::askOverwrite(const std::string& path) {
  qzWindow ask;
  ask.create("file exists,x=50%,y=50%,xs=320,ys=130,modal,nosysmenu,noquit");
  qzSimpleTextDisplay text;
  text.create("x=50%,y=35%,xs=90%,ys=55%");
  text.setText(last_part(path) + " already exists.\nReplace it?");
  qzButton yes, no;
  yes.create("&Yes,x=30%,y=80%,xs=30%");
  no.create("&No,x=70%,y=80%,xs=30%,default");
  no.takeFocus();
  int e = qzwait_for_one_of({yes.eventId(), no.eventId(), ask.closeId()});
  bool replace = e != 0 && e == yes.eventId();
  ask.destroy();
  return replace;
}

bool qzFileDialog::take(const std::string& typed, std::string& path) {
  std::string t = typed;
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.pop_back();
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.erase(0, 1);
  if (t.empty()) return false;
  if (t.find_first_of("*?") != std::string::npos) {
    // A pattern: the list shows what it matches.
    std::string dir = qzfiledialog_parent(qzfiledialog_join(folder_, t));
    typedFilter_ = qzfiledialog_parse_filter(last_part(qzfiledialog_normalise(t)));
    useTyped_ = true;
    show(dir);
    name.setText("");
    return false;
  }
  std::string full = qzfiledialog_join(folder_, t);
  if (is_dir(full)) {
    show(full);
    name.setText("");
    return false;
  }
  std::string withExt = qzfiledialog_with_extension(full, defaultExt_);
  if (!save_) {
    // The name as typed if that file exists, else with the default extension.
    std::string chosen = is_file(full) ? full : is_file(withExt) ? withExt : "";
    if (chosen.empty()) {
      status.setText("File not found: " + last_part(withExt));
      return false;
    }
    path = chosen;
    return true;
  }
  if (!is_dir(qzfiledialog_parent(withExt))) {
    status.setText("Folder not found: " + qzfiledialog_parent(withExt));
    return false;
  }
  if (is_dir(withExt)) {
    show(withExt);
    return false;
  }
  if (is_file(withExt) && !askOverwrite(withExt)) return false;
  path = withExt;
  return true;
}

bool qzFileDialog::run(std::string& path, const std::string& options) {
  path.clear();
  if (!qzrunning()) return false;
  qzOptionList list = qzopt_from_string(options);
  qzOptFileDialog o;
  qzopt_filedialog(list, 0, o);
  save_ = o.save;
  title_ = o.title.empty() ? (save_ ? "Save as" : "Open") : o.title;
  // The title is item 0 of the window's option string: no commas in it.
  for (char& c : title_)
    if (c == ',') c = ' ';
  defaultExt_ = o.defaultext;
  for (const std::string& f : o.filters) filters_.push_back(qzfiledialog_parse_filter(f));
  if (filters_.empty()) filters_.push_back(qzfiledialog_parse_filter("*|All files"));

  qzFileDialog* outer = g_open;
  g_open = this;
  build();
  std::string start = o.dir.empty() ? current_dir() : qzfiledialog_join(current_dir(), o.dir);
  show(is_dir(start) ? start : current_dir());

  bool done = false, chosen = false;
  while (!done) {
    int e = qzwait_for_one_of({accept.eventId(), cancel.eventId(), up.eventId(), window.closeId(),
                               name.eventId(), entries.eventId(), entries.id(qzListBox::kSelected),
                               filter.eventId(), QZ_KEY_ESCAPE});
    if (e == 0 || e == cancel.eventId() || e == window.closeId() || e == QZ_KEY_ESCAPE) {
      done = true;
    } else if (e == up.eventId()) {
      show(qzfiledialog_parent(folder_));
    } else if (e == filter.eventId()) {
      useTyped_ = false;
      refresh();
    } else if (e == entries.id(qzListBox::kSelected)) {
      int i = entries.selectedIndex();
      if (i >= 0 && i < static_cast<int>(listed_.size()) && !listed_[i].folder) name.setText(listed_[i].name);
    } else if (e == entries.eventId()) {
      int i = entries.selectedIndex();
      if (i >= 0 && i < static_cast<int>(listed_.size())) {
        if (listed_[i].folder) show(qzfiledialog_join(folder_, listed_[i].name));
        else done = chosen = take(listed_[i].name, path);
      }
    } else if (e == accept.eventId() || e == name.eventId()) {
      std::string typed = name.text();
      if (typed.empty() && entries.selectedIndex() >= 0 && entries.selectedIndex() < static_cast<int>(listed_.size()) &&
          !listed_[entries.selectedIndex()].folder)
        typed = listed_[entries.selectedIndex()].name;
      done = chosen = take(typed, path);
    }
  }
  window.destroy();
  g_open = outer;
  if (!chosen) path.clear();
  qzlog("file dialog: %s\n", chosen ? path.c_str() : "cancelled");
  return chosen;
}
