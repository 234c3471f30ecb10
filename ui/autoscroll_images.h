// The auto-scroll cursors and origin marks, 32 x 32 pixels each.
#pragma once

#include <windows.h>

// Cursor images: 0 the origin for both axes, 1-8 the directions
// (horizontal * 3 + vertical; 1 forward, 2 back), 9 the origin for
// horizontal only, 10 for vertical only. 128 bytes of XOR plane, then 128 of
// AND plane; hot spot in the middle.
const int kAutoScrollCursorCount = 11;
const int kAutoScrollCursorBytes = 256;
const int kAutoScrollCursorHorizontal = 9;
const int kAutoScrollCursorVertical = 10;
extern const BYTE kAutoScrollCursorImages[kAutoScrollCursorCount][kAutoScrollCursorBytes];

// Origin marks: 0 both axes, 1 horizontal only, 2 vertical only. 512 bytes
// of 4-bit greys (0 black, 15 white), then the 128-byte AND mask.
const int kAutoScrollMarkCount = 3;
const int kAutoScrollMarkBytes = 640;
const int kAutoScrollMarkGreyBytes = 512;
extern const BYTE kAutoScrollMarkImages[kAutoScrollMarkCount][kAutoScrollMarkBytes];
