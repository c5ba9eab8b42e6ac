// Option strings of any length and content, unknown keys and fonts that
// do not exist never crash a window or a button; they still get created.
#include <gtest/gtest.h>

#include <random>

#include "headless_fixture.h"
#include "qzk/button.h"
#include "qzk/drive.h"
#include "qzk/window.h"

using Robustness = HeadlessTest;

TEST_F(Robustness, RandomOptionStringsCreateWidgetsWithoutCrashing) {
  std::mt19937 gen(20261208);
  qzWindow w;
  ASSERT_TRUE(w.create("host,xs=400,ys=300,noquit"));
  for (int round = 0; round < 300; ++round) {
    std::string s;
    int len = round < 290 ? gen() % 200 : 20000 + gen() % 100000;
    for (int i = 0; i < len; ++i) {
      char c = static_cast<char>(gen() % 256);
      if (c == '%') c = '#';  // a conversion would need an argument
      if (c == 0) c = ',';
      s += c;
    }
    if (round % 3 == 0) s = "cap" + std::string(",x=") + std::to_string(int(gen() % 2000) - 1000) + "%," + s;
    qzButton b;
    EXPECT_TRUE(b.create(s.c_str())) << round;
    qzdispatch_pending();  // paints whatever came out
    qzWindow other;
    EXPECT_TRUE(other.create(s.c_str())) << round;
    qzdispatch_pending();
  }
}

TEST_F(Robustness, UnknownKeysFontsAndSizesAreHarmless) {
  qzWindow w;
  ASSERT_TRUE(w.create("host,xs=300,ys=200,noquit,format=server,noclose,bogus=7"));
  const char* strings[] = {
      "A,font=nosuchfont",       "B,fontid=-5",           "C,fontid=99999999",  "D,xs=-50,ys=-10",
      "E,xs=1e300,ys=1e300",     "F,x=-1e9%,y=1e9%",      "G,border=-3",        "H,border=99999",
      "I,hotkey=ctrl+alt+del",   "&,&&,&&&",              "",                   ",,,,,,,,",
      "up,arrow,xs=1,ys=1",      "left,smallarrow,xs=0",  "K,minxs=100000",     "L,maxxs=-1",
  };
  for (const char* s : strings) {
    qzButton b;
    EXPECT_TRUE(b.create(s)) << s;
    EXPECT_GE(b.rect().w, 0) << s;
    // Cut to the parent, unless a minimum asks for more.
    if (std::string(s).find("minxs") == std::string::npos) {
      EXPECT_LE(b.rect().w, 300) << s;
    }
    qzdispatch_pending();
    qzdrive_click(b);
    qzdispatch_pending();
  }
}
