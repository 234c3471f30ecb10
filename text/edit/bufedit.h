// In-place editing of a byte buffer holding `length` bytes. Arguments are
// clamped: a negative length counts as 0, the position is kept within 0 and
// the length, the removed bytes within what follows the position. A count
// below 1 changes nothing and returns the length. The results are the new
// lengths.
#pragma once

int BufferInsert(void* buffer, const void* source, int length, int count, int position);
// Keeps the result within capacity bytes: the new bytes are cut to the room
// behind the position, the old tail to what is left. 0 (and nothing changed)
// when the clamped position lies beyond the capacity.
int BufferInsertBounded(void* buffer, const void* source, int length, int count, int position, int capacity);

int BufferReplace(void* buffer, const void* source, int length, int count, int removed, int position);
int BufferReplaceBounded(void* buffer, const void* source, int length, int count, int removed, int position,
                         int capacity);

// A negative position shortens the count by as much and starts at 0.
int BufferDelete(void* buffer, int length, int count, int position);

// Moves the count bytes at `from` so that they start at `to`, shifting the
// bytes between; returns `to`, or -1 for a negative argument (the bounded
// form also when the range or its target reaches past the capacity).
int MemMoveRange(void* buffer, int from, int count, int to);
int MemMoveRangeBounded(void* buffer, int from, int count, int to, int capacity);
