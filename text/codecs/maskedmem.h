// Memory compare under a byte mask, and the swap of two blocks.
#pragma once

// 0 when (a[i] ^ b[i]) & mask[i] is 0 for every i < n; otherwise
// (a[i] & mask[i]) - (b[i] & mask[i]) at the first i where it is not.
int MemCompareMasked(const void* a, const void* b, const void* mask, int n);

// Exchanges two non-overlapping blocks of n bytes; n < 1 does nothing.
void MemSwap(void* a, void* b, int n);
