#pragma once
// Whether a path names a regular file (a link to one included). A reader
// asks before it opens: opening a FIFO for reading waits until something
// writes to it, and a folder or a device is no file to read.
bool qzis_regular_file(const char* path);
