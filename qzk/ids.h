#pragma once
// The process-wide identifier counter. Every widget draws a block of 11
// consecutive event identifiers from it at creation, and every font draws
// one. It starts at 1000000 and is never reset, so identifiers never
// collide with key codes (below 1000) posted on the same event queue.

// Reserves `count` consecutive identifiers and returns the first.
int qzids_next(int count);
