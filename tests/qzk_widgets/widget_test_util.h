#pragma once
// A headless window for each widget test, and small helpers to read the
// events the widgets posted.
#include <gtest/gtest.h>

#include <vector>

#include "qzk/drive.h"
#include "qzk/events.h"
#include "qzk/platform/headless.h"
#include "qzk/platform/platform.h"
#include "qzk/font.h"
#include "qzk/pixmap.h"
#include "qzk/window.h"

class WidgetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qzplatform_use_headless();
    qzevents_reset();
    ASSERT_TRUE(window.create("widgets,x=0,y=0,xs=640,ys=480,noquit"));
    qzdispatch_pending();
  }
  void TearDown() override {
    window.destroy();
    qzevents_reset();
  }
  // Every event waiting in the queue, in order.
  static std::vector<int> drain() {
    std::vector<int> out;
    for (int e = qzpoll_event(); e != 0; e = qzpoll_event()) out.push_back(e);
    return out;
  }
  static int count(const std::vector<int>& events, int id) {
    int n = 0;
    for (int e : events) n += e == id;
    return n;
  }
  void click_at(int x, int y) { qzdrive_click_at(window, x, y); }
  void type(const char* text) { qzdrive_type(window, text); }
  void key(int k, int mods = 0) { qzdrive_key(window, k, mods); }

  qzWindow window;
};
