#pragma once
// The shell's output channels, used by every module: the current text page
// (0 = the menu terminal, 1..6 = text pages) and the current graphic page
// (1..6), both process-wide. They print and draw on the pages the main
// window hands them when it is built (ConnectOutputPages); without pages
// they keep the page choice and show nothing.
#include <array>
#include <cstdint>

class qzProgressBar;
class qzScreenGraphic;
class qzTabControl;
class qzTerminal;
class qzTextDisplay;

constexpr int kPages = 6;

// The pages the channels print and draw on, owned by the main window. The
// tab control shows them: tab 0 the menu terminal, tabs 1..6 the
// canvases, tabs 7..12 the text pages.
struct OutputPages {
  qzTabControl* tabs = nullptr;
  qzTerminal* menu = nullptr;
  std::array<qzTextDisplay*, kPages> text{};
  std::array<qzScreenGraphic*, kPages> canvas{};
  qzProgressBar* progress = nullptr;
  // Set for a graphic page when GraphicOutput chooses it.
  std::array<bool, kPages>* graphicUsed = nullptr;
  // Counts every choice of a graphic page by GraphicOutput.
  std::array<unsigned, kPages>* graphicChoices = nullptr;
};

// Hands the channels their pages; they must stay until DisconnectOutputPages.
void ConnectOutputPages(const OutputPages& pages);
void DisconnectOutputPages();

void TextOutput(int page);
void GraphicOutput(int page, int width, int height, uint32_t colour);
void PrintOut(const char* format, ...) __attribute__((format(printf, 1, 2)));
void ClearOutput();
// While a module is asked to stop (app/module_stop.h) the channels above
// print, clear and switch nothing; this prints all the same: the line
// saying where the module stopped.
void StopNote(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Whether a stop note was printed since the last call.
bool TakeStopNoted();
void SetProgress(double percent);

// Waits `seconds` while keeping the windows alive (no wall time in a batch run).
void Pause(double seconds);
// Processes pending events, at most a few dozen times a second however
// often it is called, so long loops may call it on every step.
void KeepAlive();
// Plays the end-of-module sound "Tada.wav".
void PlayModuleSound();

// Draws printf-style text on the current graphic page in its font, with
// the text's top edge 13 pixels above y (so y is about the baseline of
// the program's 12x24 page font). Does nothing without a graphic page.
void TextAt(int x, int y, uint32_t colour, const char* format, ...) __attribute__((format(printf, 4, 5)));

// The number of the current text page (0..6) and graphic page (1..6).
int CurrentTextPage();
int CurrentGraphicPage();
