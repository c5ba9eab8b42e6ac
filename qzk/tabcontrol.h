#pragma once
// A row of tabs over a page area. Each tab is a page: the widgets created
// while it is the creation target belong to it and are shown only while it
// is the page shown.
//
//     qzTabControl tabs;
//     tabs.create("x=50%,y=46%,xs=100%,ys=92%,tabs=Menu|Graphic 1|Text 1");
//     tabs.selectPage(1);            // the next widgets go to "Graphic 1"
//     canvas.create(...);
//     tabs.selectPage(-1);           // back to where the tab control lies
//     tabs.showPage(0);
//
// Clicking a tab (or Left/Right while the tabs have the focus) shows its
// page and activates the control (callback or eventId() posted);
// shownPage() tells which. The first page is shown at creation.
#include <cstdarg>
#include <memory>
#include <string>
#include <vector>

#include "qzk/create_from_format.h"
#include "qzk/widget.h"

class qzTabControl : public qzWidget, public qzCreateFromFormat<qzTabControl> {
 public:
  bool createv(const char* format, va_list args);
  ~qzTabControl() override;
  const char* kind() const override { return "tab control"; }

  int pageCount() const { return static_cast<int>(pages_.size()); }
  const std::string& label(int page) const;
  qzWidgetPage* page(int index) const;

  // Makes page n the target of the next creations in this window; -1 (or
  // any index outside the tabs) gives the target back to the page (or
  // window) the tab control itself lies in. False for no such page.
  bool selectPage(int n);
  // Shows page n and hides the others; false for no such page.
  bool showPage(int n);
  int shownPage() const { return shown_; }

  qzRect tabRect(int page) const;  // window coordinates
  qzRect pageRect() const;         // the area below the tabs

  void paint(qzPixmap& target) override;
  bool mouseDown(int x, int y, int button, int clicks, int modifiers) override;
  bool keyDown(int key, int modifiers) override;
  void shownChanged() override;

 protected:
  void parseOptions(qzOptionList& options) override;
  void naturalSize(int& width, int& height) override;
  void created() override;

 private:
  int tabHeight() const;
  void applyShown();

  std::vector<std::string> labels_;
  std::vector<std::unique_ptr<qzWidgetPage>> pages_;
  int shown_ = 0;
};
