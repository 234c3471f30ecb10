// Clipboard text (8-bit, CF_TEXT).
#pragma once

#include <windows.h>

// The clipboard text in a new[] buffer that the caller deletes; NULL (and
// length 0) when there is none or it is empty.
char* GetClipboardText(int* pLength);
// At most size - 1 characters and a terminator; the number copied.
int GetClipboardTextBuf(char* buffer, int size);
// Puts length characters (-1: up to the terminator) on the clipboard; the
// length, or 0 on failure or for an empty text (the clipboard is left alone).
int SetClipboardText(const char* text, int length);
