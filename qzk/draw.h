#pragma once
// The toolkit's look: the colours of its scheme and the few drawing steps
// every widget shares (frames, the focus mark, disabled text). All of it
// paints into a window's pixmap and clips to it.
#include <cstdint>

#include "qzk/geometry_rect.h"

struct qzPixmap;

namespace qzcolour {
constexpr uint32_t face = 0xC0C0C0;      // buttons, window background
constexpr uint32_t light = 0xFFFFFF;     // lit edge of a raised frame
constexpr uint32_t shadow = 0x808080;    // shaded edge
constexpr uint32_t dark = 0x404040;      // outer shaded edge
constexpr uint32_t text = 0x000000;
constexpr uint32_t disabledText = 0x808080;
constexpr uint32_t field = 0xFFFFFF;     // background of inputs and lists
constexpr uint32_t selection = 0x000080; // selected entry / text
constexpr uint32_t selectionText = 0xFFFFFF;
constexpr uint32_t focus = 0x000000;     // dotted focus mark
constexpr uint32_t title = 0x000080;     // menu bar highlight
}  // namespace qzcolour

// Frame styles, the "border" values of the option strings: 0 none, 1 a
// single line, 2 (and larger) a sunken 3-D frame of two lines; the raised
// and pressed frames are those of buttons.
enum qzFrameStyle : int {
  QZ_FRAME_NONE = 0,
  QZ_FRAME_SINGLE = 1,
  QZ_FRAME_SUNKEN = 2,
  QZ_FRAME_RAISED = 100,
  QZ_FRAME_PRESSED = 101,
  QZ_FRAME_DEFAULT_RAISED = 102,  // a default button: an extra dark outline
};

// Width in pixels that a frame of this style takes on each side.
int qzframe_width(int style);
// Draws the frame inside `r` (it does not fill the inside).
void qzdraw_frame(qzPixmap& target, const qzRect& r, int style);
// A dotted rectangle inside `r`, the keyboard-focus mark.
void qzdraw_focus_mark(qzPixmap& target, const qzRect& r);
// Draws `text` with the font at (x, y): black when enabled, engraved grey
// (a white copy one pixel down-right under a grey one) when disabled.
void qzdraw_label(qzPixmap& target, int x, int y, int font, const char* text, bool enabled,
                  uint32_t colour = qzcolour::text);
// Draws `text` centred in `r`; the hotkey character is underlined when
// hotkeyIndex >= 0 (a byte offset into text).
void qzdraw_label_centred(qzPixmap& target, const qzRect& r, int font, const char* text,
                          bool enabled, uint32_t colour = qzcolour::text, int hotkeyIndex = -1);
