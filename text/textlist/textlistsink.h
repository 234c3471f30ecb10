// The sink through which CTextList's formatted operations collect their
// text: a buffer that starts on the caller's stack and moves to the heap
// when the text outgrows it.
#pragma once

struct TextListSinkState {
  char* buffer;  // the stack array at first, later a heap block
  int capacity;  // size of the buffer in bytes
  int length;    // characters written so far (not terminated)
  int onHeap;    // 1 once the buffer is a heap block owned by the state
};

// A FormatSink over a TextListSinkState; returns count (0 when count < 1).
int SinkTextList(void* state, const char* data, int count);
