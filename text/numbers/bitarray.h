// Bit arrays in plain memory and bit reversal. Bit i of an array is bit
// (i mod 8) of byte i/8 (least significant first), or bit 7 - (i mod 8) in
// the Msb forms. Indexes and counts are non-negative.
#pragma once

#include <cstdint>

// The bits from, from+1, ..., from+count-1 become 1, 0 or their inverse;
// nothing happens when count < 1.
void SetBitRange(void* bytes, int from, int count);
void ClearBitRange(void* bytes, int from, int count);
void InvertBitRange(void* bytes, int from, int count);

// Smallest index i with from <= i < limit whose bit is set (clear), else
// limit. Bits at and beyond limit are never read.
int FindNextSetBit(const void* bits, int limit, int from);
int FindNextClearBit(const void* bits, int limit, int from);
int FindNextSetBitMsb(const void* bits, int limit, int from);
int FindNextClearBitMsb(const void* bits, int limit, int from);

// Number of set bits with start <= i < end; 0 when start >= end.
int CountSetBits(const void* bits, int end, int start);
int CountSetBitsMsb(const void* bits, int end, int start);

// The low n bits of value in reverse order (bit k goes to bit n-1-k); 0 when
// n is below 1 or above 64.
uint64_t ReverseBits(uint64_t value, int n);
