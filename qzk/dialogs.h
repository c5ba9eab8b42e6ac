#pragma once
// The toolkit's own dialogs (the file dialog is in filedialog.h).

// A modal window "message" of 250 x 200 pixels at the screen centre with
// the text (printf-style, cut to 1000 characters) and a default button
// "OK". Returns when "OK" is pressed or the window is closed; the window
// and its widgets are destroyed before it returns. Returns at once (0) when
// the running flag is false. Returns 1 for "OK", 2 for a close.
int qzmessagebox(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A modal window "info" of 200 x 100 pixels with the text; returns at once.
// It stays until the next information box replaces it, qzinfobox_close, or
// the end of the program.
void qzinfobox(const char* format, ...) __attribute__((format(printf, 1, 2)));
void qzinfobox_close();
