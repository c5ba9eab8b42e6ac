// make_assets OUTDIR: draws the workbench's own pictures and sound and
// writes them into OUTDIR:
//   solarsystem-1.bmp                   start-up picture (the Sun and its planets)
//   meridea-1.bmp, meridea-1e..3e.bmp,  the picture pages of the menu,
//   meridea-1d..3d.bmp, booken.bmp,     simple title pages in English and
//   bookde.bmp, kundm.bmp               German
//   Tada.wav                            the end-of-module chime
// The output is the same on every run (no clock, no platform random), so
// the committed files in assets/ can be checked against a fresh run.
// Pictures are 8-bit palette BMP files with run-length (RLE8) compression:
// they hold only a few flat colours, which keeps them small.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "qzk/font.h"
#include "qzk/pixmap.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// ------------------------------------------------------------ drawing

void FillCircle(qzPixmap& p, double cx, double cy, double r, uint32_t colour) {
  for (int y = static_cast<int>(cy - r) - 1; y <= static_cast<int>(cy + r) + 1; ++y)
    for (int x = static_cast<int>(cx - r) - 1; x <= static_cast<int>(cx + r) + 1; ++x) {
      double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
      if (dx * dx + dy * dy <= r * r) qzpxmap_setpixel(p, x, y, colour);
    }
}

// An ellipse outline, sampled densely enough to leave no gaps.
void Ellipse(qzPixmap& p, double cx, double cy, double rx, double ry, uint32_t colour) {
  int steps = static_cast<int>(8 * (rx + ry)) + 16;
  for (int i = 0; i < steps; ++i) {
    double a = 2 * kPi * i / steps;
    qzpxmap_setpixel(p, static_cast<int>(std::lround(cx + rx * std::cos(a))),
                     static_cast<int>(std::lround(cy + ry * std::sin(a))), colour);
  }
}

void Line(qzPixmap& p, double x0, double y0, double x1, double y1, uint32_t colour) {
  int steps = static_cast<int>(std::max(std::fabs(x1 - x0), std::fabs(y1 - y0))) + 1;
  for (int i = 0; i <= steps; ++i) {
    double t = static_cast<double>(i) / steps;
    qzpxmap_setpixel(p, static_cast<int>(std::lround(x0 + t * (x1 - x0))),
                     static_cast<int>(std::lround(y0 + t * (y1 - y0))), colour);
  }
}

// Text in a builtin font, each font pixel drawn as a scale x scale block.
// Returns the width drawn.
int Text(qzPixmap& p, int x, int y, const char* fontName, int scale, uint32_t colour,
         const std::string& text) {
  int font = qzfont_builtin(fontName);
  int w = qzfont_textwidth(font, text.c_str());
  int h = qzfont_height(font);
  if (w <= 0 || h <= 0) return 0;
  qzPixmap glyphs;
  qzpxmap_alloc(glyphs, w, h, QZ_PX_TRUECOLOR);
  qzpxmap_clear(glyphs, 0);
  qzfont_drawtext(glyphs, 0, 0, font, 0xFFFFFF, text.c_str());
  for (int gy = 0; gy < h; ++gy)
    for (int gx = 0; gx < w; ++gx)
      if (qzpxmap_getpixel(glyphs, gx, gy) != 0)
        qzpxmap_fillrect(p, x + gx * scale, y + gy * scale, scale, scale, colour);
  return w * scale;
}

int TextWidth(const char* fontName, int scale, const std::string& text) {
  return qzfont_textwidth(qzfont_builtin(fontName), text.c_str()) * scale;
}

void CentredText(qzPixmap& p, int y, const char* fontName, int scale, uint32_t colour,
                 const std::string& text) {
  Text(p, (p.width - TextWidth(fontName, scale, text)) / 2, y, fontName, scale, colour, text);
}

// A small deterministic generator for the star field (not the program's
// random numbers: the pictures must not depend on a seed).
struct StarDice {
  uint32_t state = 12345u;
  uint32_t Next() {
    state = state * 1103515245u + 12345u;
    return (state >> 8) & 0xFFFFFFu;
  }
};

// ------------------------------------------------------------ files

void PutLE(std::vector<uint8_t>& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// Writes the bytes to a temporary name and renames it over the target, so
// a file is there completely or not at all.
bool WriteWhole(const std::vector<uint8_t>& bytes, const std::string& path) {
  std::string temporary = path + ".tmp";
  FILE* f = std::fopen(temporary.c_str(), "wb");
  if (!f) {
    std::fprintf(stderr, "make_assets: cannot write %s\n", temporary.c_str());
    return false;
  }
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = std::fclose(f) == 0 && ok;
  if (!ok || std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    std::fprintf(stderr, "make_assets: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

// Writes a truecolor pixmap of at most 256 colours as an 8-bit RLE8 BMP.
bool WritePaletteBmp(const qzPixmap& p, const std::string& path) {
  std::map<uint32_t, uint8_t> indexOf;
  std::vector<uint32_t> palette;
  for (uint32_t c : p.rgb) {
    if (indexOf.count(c)) continue;
    if (palette.size() == 256) {
      std::fprintf(stderr, "make_assets: %s has more than 256 colours\n", path.c_str());
      return false;
    }
    indexOf[c] = static_cast<uint8_t>(palette.size());
    palette.push_back(c);
  }
  std::vector<uint8_t> pixels;
  for (int y = p.height - 1; y >= 0; --y) {  // bottom row first
    const uint32_t* row = p.row(y);
    for (int x = 0; x < p.width;) {
      uint8_t index = indexOf[row[x]];
      int run = 1;
      while (x + run < p.width && run < 255 && row[x + run] == row[x]) ++run;
      pixels.push_back(static_cast<uint8_t>(run));
      pixels.push_back(index);
      x += run;
    }
    pixels.push_back(0);
    pixels.push_back(y == 0 ? 1 : 0);  // end of line, or end of bitmap after the top row
  }
  uint32_t paletteBytes = static_cast<uint32_t>(palette.size()) * 4;
  uint32_t offset = 54 + paletteBytes;
  std::vector<uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  PutLE(out, offset + static_cast<uint32_t>(pixels.size()), 4);
  PutLE(out, 0, 4);
  PutLE(out, offset, 4);
  PutLE(out, 40, 4);
  PutLE(out, static_cast<uint32_t>(p.width), 4);
  PutLE(out, static_cast<uint32_t>(p.height), 4);
  PutLE(out, 1, 2);
  PutLE(out, 8, 2);
  PutLE(out, 1, 4);  // BI_RLE8
  PutLE(out, static_cast<uint32_t>(pixels.size()), 4);
  PutLE(out, 2835, 4);  // 72 dpi
  PutLE(out, 2835, 4);
  PutLE(out, static_cast<uint32_t>(palette.size()), 4);
  PutLE(out, 0, 4);
  for (uint32_t c : palette) {
    out.push_back(static_cast<uint8_t>(c));
    out.push_back(static_cast<uint8_t>(c >> 8));
    out.push_back(static_cast<uint8_t>(c >> 16));
    out.push_back(0);
  }
  out.insert(out.end(), pixels.begin(), pixels.end());
  return WriteWhole(out, path);
}

// ------------------------------------------------------------ the chime

// A "ta-da": a short chord, then a longer, higher one, each note a sine
// with a weak octave partial and an exponential decay. 22050 Hz, 16 bit, mono.
std::vector<uint8_t> Chime() {
  constexpr int kRate = 22050;
  constexpr double kSeconds = 1.1;
  struct Note {
    double start, length, frequency, loudness;
  };
  // C major: G4 C5 E5 short, then C5 E5 G5 C6 long.
  constexpr Note kNotes[] = {
      {0.00, 0.14, 392.00, 0.20}, {0.00, 0.14, 523.25, 0.20}, {0.00, 0.14, 659.25, 0.18},
      {0.16, 0.94, 523.25, 0.20}, {0.16, 0.94, 659.25, 0.18}, {0.16, 0.94, 783.99, 0.16},
      {0.16, 0.94, 1046.50, 0.12},
  };
  int count = static_cast<int>(kRate * kSeconds);
  std::vector<int16_t> samples(count);
  for (int i = 0; i < count; ++i) {
    double t = static_cast<double>(i) / kRate, v = 0;
    for (const Note& n : kNotes) {
      double u = t - n.start;
      if (u < 0 || u > n.length) continue;
      double attack = std::min(1.0, u / 0.005);
      double release = std::min(1.0, (n.length - u) / 0.02);
      double decay = std::exp(-u * 3.5);
      double tone = std::sin(2 * kPi * n.frequency * u) + 0.3 * std::sin(4 * kPi * n.frequency * u);
      v += n.loudness * attack * release * decay * tone;
    }
    samples[i] = static_cast<int16_t>(std::lround(std::max(-1.0, std::min(1.0, v)) * 32000));
  }
  std::vector<uint8_t> out;
  uint32_t dataBytes = static_cast<uint32_t>(count) * 2;
  for (char c : std::string("RIFF")) out.push_back(static_cast<uint8_t>(c));
  PutLE(out, 36 + dataBytes, 4);
  for (char c : std::string("WAVEfmt ")) out.push_back(static_cast<uint8_t>(c));
  PutLE(out, 16, 4);
  PutLE(out, 1, 2);  // PCM
  PutLE(out, 1, 2);  // mono
  PutLE(out, kRate, 4);
  PutLE(out, kRate * 2, 4);
  PutLE(out, 2, 2);
  PutLE(out, 16, 2);
  for (char c : std::string("data")) out.push_back(static_cast<uint8_t>(c));
  PutLE(out, dataBytes, 4);
  for (int16_t s : samples) PutLE(out, static_cast<uint16_t>(s), 2);
  return out;
}

// ------------------------------------------------------------ pictures

struct Planet {
  const char* name;
  double orbit;  // horizontal radius of the drawn orbit, pixels
  double angle;  // position on the orbit, degrees
  double radius;
  uint32_t colour;
};

// Not to scale: orbits and sizes are chosen so that all nine fit.
constexpr Planet kPlanets[] = {
    {"Mercury", 250, 28, 6, 0xA8A8A8},   {"Venus", 335, -24, 10, 0xE8C880},
    {"Earth", 430, 20, 11, 0x3070D0},    {"Mars", 525, -16, 8, 0xC05030},
    {"Jupiter", 680, 14, 34, 0xD0A070},  {"Saturn", 860, -12, 28, 0xE0C890},
    {"Uranus", 1040, 10, 18, 0x80D0E0},  {"Neptune", 1210, -7, 17, 0x4060D0},
    {"Pluto", 1370, 5, 4, 0xB09080},
};

qzPixmap SolarSystem() {
  qzPixmap p;
  qzpxmap_alloc(p, 1536, 960, QZ_PX_TRUECOLOR);
  qzpxmap_clear(p, 0x000010);
  StarDice dice;
  constexpr uint32_t kStars[] = {0x606070, 0xA0A0B0, 0xFFFFFF};
  for (int i = 0; i < 700; ++i) {
    int x = static_cast<int>(dice.Next() % 1536), y = static_cast<int>(dice.Next() % 960);
    qzpxmap_setpixel(p, x, y, kStars[dice.Next() % 3]);
  }
  const double cx = 110, cy = 520, flatten = 0.3;
  for (const Planet& pl : kPlanets) Ellipse(p, cx, cy, pl.orbit, pl.orbit * flatten, 0x283048);
  constexpr struct {
    double r;
    uint32_t colour;
  } kSunRings[] = {{215, 0x301800}, {190, 0x703800}, {170, 0xB05800}, {152, 0xF0A018}, {125, 0xFFD040}, {80, 0xFFF0A0}};
  for (const auto& ring : kSunRings) FillCircle(p, cx, cy, ring.r, ring.colour);
  Text(p, 40, cy + 230, "builtin 9x15 bold", 1, 0xFFD040, "Sun");
  for (const Planet& pl : kPlanets) {
    double a = pl.angle * kPi / 180;
    double x = cx + pl.orbit * std::cos(a), y = cy + pl.orbit * flatten * std::sin(a);
    if (std::string(pl.name) == "Saturn") Ellipse(p, x, y, pl.radius * 2.0, pl.radius * 0.55, 0xC0A870);
    FillCircle(p, x, y, pl.radius, pl.colour);
    if (std::string(pl.name) == "Jupiter")
      for (int band : {-14, -5, 6, 15}) Line(p, x - std::sqrt(34.0 * 34 - band * band) + 2, y + band,
                                             x + std::sqrt(34.0 * 34 - band * band) - 2, y + band, 0xA87850);
    if (std::string(pl.name) == "Saturn") {  // the near half of the ring passes in front
      for (int i = 0; i <= 200; ++i) {
        double t = kPi * i / 200;
        qzpxmap_setpixel(p, static_cast<int>(std::lround(x + pl.radius * 2.0 * std::cos(t))),
                         static_cast<int>(std::lround(y + pl.radius * 0.55 * std::sin(t))), 0xC0A870);
      }
    }
    if (std::string(pl.name) == "Earth") FillCircle(p, x + 20, y - 10, 3, 0xC8C8C8);
    int w = TextWidth("builtin 9x15", 1, pl.name);
    Text(p, static_cast<int>(x) - w / 2, static_cast<int>(y + pl.radius) + 8, "builtin 9x15", 1,
         0xC8C8D8, pl.name);
  }
  CentredText(p, 40, "builtin 12x24", 2, 0xFFFFFF, "The Solar System");
  CentredText(p, 100, "builtin 9x15", 1, 0xA0A0C0, "Sun, Moon and the planets Mercury to Pluto - not to scale");
  CentredText(p, 910, "builtin 9x15 bold", 1, 0xA0A0C0, "Research-Program Institut K & M");
  return p;
}

// A title page: a framed sheet, a heading, some lines and a band of
// harmonic waves of orders 1 to 3.
qzPixmap TitlePage(const std::string& file, const std::string& heading,
                   const std::vector<std::string>& lines, uint32_t background, uint32_t accent) {
  qzPixmap p;
  qzpxmap_alloc(p, 1000, 700, QZ_PX_TRUECOLOR);
  qzpxmap_clear(p, background);
  qzpxmap_fillrect(p, 20, 20, 960, 4, accent);
  qzpxmap_fillrect(p, 20, 676, 960, 4, accent);
  qzpxmap_fillrect(p, 20, 20, 4, 660, accent);
  qzpxmap_fillrect(p, 976, 20, 4, 660, accent);
  int scale = TextWidth("builtin 12x24", 3, heading) <= 900 ? 3 : 2;
  CentredText(p, 70, "builtin 12x24", scale, 0x102040, heading);
  int y = 110 + 24 * scale;
  for (const std::string& line : lines) {
    CentredText(p, y, "builtin 12x24", 1, 0x202020, line);
    y += 40;
  }
  constexpr uint32_t kWaves[] = {0xC03020, 0x2060C0, 0x20A040};
  for (int order = 1; order <= 3; ++order) {
    double prevX = 60, prevY = 500;  // cos(0) = 1: every wave starts at its top
    for (int x = 60; x <= 940; x += 2) {
      double yy = 560 - 60 * std::cos(order * 2 * kPi * (x - 60) / 880.0);
      Line(p, prevX, prevY, x, yy, kWaves[order - 1]);
      prevX = x;
      prevY = yy;
    }
  }
  CentredText(p, 648, "builtin 8x16", 1, 0x606060, file + "  -  Research-Program Institut K & M");
  return p;
}

struct Page {
  const char* file;
  const char* heading;
  std::vector<std::string> lines;
};

std::vector<Page> Pages() {
  return {
      {"meridea-1.bmp", "Meridea",
       {"harmonies of the planets - Harmonien der Planeten", "", "three pages, in English or in German"}},
      {"meridea-1e.bmp", "Meridea 1: the waves",
       {"every pair of the 11 bodies gives a harmonic", "wave value of the chosen order 1 to 12;",
        "collected in the matrices H (harmony), I (energy),", "D (dynamic) and DA (absolute dynamic)"}},
      {"meridea-2e.bmp", "Meridea 2: the continuum",
       {"the mean matrices of a reference period,", "sampled evenly or at random,",
        "are the measure every group is compared with"}},
      {"meridea-3e.bmp", "Meridea 3: groups",
       {"the event analysis averages the matrices of a group;", "matrix probability draws random control groups",
        "and counts how many reach the group's value"}},
      {"meridea-1d.bmp", "Meridea 1: die Wellen",
       {"jedes Paar der 11 Körper ergibt einen harmonischen", "Wellenwert der gewählten Ordnung 1 bis 12;",
        "gesammelt in den Matrizen H (Harmonie), I (Energie),", "D (Dynamik) und DA (absolute Dynamik)"}},
      {"meridea-2d.bmp", "Meridea 2: das Kontinuum",
       {"die mittleren Matrizen eines Bezugszeitraums,", "gleichmäßig oder zufällig abgetastet,",
        "sind das Maß, mit dem jede Gruppe verglichen wird"}},
      {"meridea-3d.bmp", "Meridea 3: Gruppen",
       {"die Ereignisanalyse mittelt die Matrizen einer Gruppe;", "die Matrix-Wahrscheinlichkeit zieht zufällige",
        "Kontrollgruppen und zählt, wie viele den Wert erreichen"}},
      {"booken.bmp", "the planetary gravitational field",
       {"harmonic analysis of the planetary configuration", "at the moments of births and events"}},
      {"bookde.bmp", "des planetaren Gravitationsfeldes",
       {"harmonische Analyse der Planetenstellung", "zu den Zeitpunkten von Geburten und Ereignissen"}},
      {"kundm.bmp", "K und M  Institut",
       {"Research-Program Institut K & M", "", "statistical research on the harmonics of the sky"}},
  };
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_assets OUTDIR\n");
    return 2;
  }
  std::string dir = argv[1];
  if (qzfont_builtin("builtin 12x24") == 0 || qzfont_builtin("builtin 9x15") == 0) {
    std::fprintf(stderr, "make_assets: the builtin fonts are missing\n");
    return 1;
  }
  bool ok = WritePaletteBmp(SolarSystem(), dir + "/solarsystem-1.bmp");
  int n = 0;
  for (const Page& page : Pages()) {
    uint32_t background = (n++ % 2 == 0) ? 0xF4F0E4 : 0xE8F0F4;
    ok = WritePaletteBmp(TitlePage(page.file, page.heading, page.lines, background, 0x304870),
                         dir + "/" + page.file) && ok;
  }
  ok = WriteWhole(Chime(), dir + "/Tada.wav") && ok;
  return ok ? 0 : 1;
}
