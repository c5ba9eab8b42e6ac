#pragma once
// Every test here runs the real windows on the headless backend, in a
// temporary directory of its own (the log is written to the current one).
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "qzk/events.h"
#include "qzk/platform/headless.h"
#include "qzk/platform/platform.h"
#include "temp_folder.h"

class HeadlessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeTempFolder("qzkfound");
    ASSERT_FALSE(dir_.empty());
    ASSERT_EQ(chdir(dir_.c_str()), 0);
    qzplatform_use_headless();
    qzheadless_set_screen(1280, 1024);
    qzheadless_set_idle_hook({});
    qzevents_reset();
  }
  void TearDown() override {
    qzheadless_set_idle_hook({});
    qzevents_reset();
  }
  std::string dir_;
};
