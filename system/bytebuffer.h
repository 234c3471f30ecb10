// CByteBuffer: a growable run of bytes with a used length and a capacity.
// Growth reports its outcome: when the heap refuses a larger block (or the
// block would pass 2 GiB), the operation leaves the buffer as it was and
// returns the unchanged used length.
#pragma once

class CByteBuffer {
 public:
  unsigned char* m_pData = nullptr;  // null while the capacity is 0
  unsigned m_nUsed = 0;
  unsigned m_nCapacity = 0;

  // With a capacity of 1 or more a block of that size at once (the capacity
  // stays 0 when that fails).
  explicit CByteBuffer(int capacity = 0);
  ~CByteBuffer();
  CByteBuffer(const CByteBuffer&) = delete;
  CByteBuffer& operator=(const CByteBuffer&) = delete;

  void Clear();
  // A new block of m + m / 2 bytes, m = max(needed, used, 1024), with the used
  // bytes; returns its capacity, or 0 with nothing changed.
  unsigned Grow(unsigned needed);
  // n below 1: 0. Else n undefined bytes more; the new used length.
  unsigned Extend(int n);
  // n below 1: 0. Else the bytes appended; the new used length.
  unsigned Append(const void* data, int n);
  // n below 1: the used length. Else the bytes put in at min(position, used).
  unsigned Insert(const void* data, int n, unsigned position);
  // n below 1: the used length. Else oldLength bytes at the position (cut to
  // the end; past the end: appended) give way to the n new ones.
  unsigned Replace(const void* data, int n, int oldLength, unsigned position);
  // Copies min(n, used - position) bytes out; their number.
  unsigned Read(void* dest, int n, unsigned position) const;
  // Takes n bytes out at the position; the used length.
  unsigned Remove(int n, unsigned position);
  // Moves the stretch of length bytes at source to start at dest, the bytes
  // between shifting the other way; dest, or -1 for positions outside the
  // used bytes.
  int Move(int source, int length, int dest);

 private:
  bool Room(unsigned n);  // room for n bytes more
  // The caller's bytes, copied aside when they lie in the block that growth
  // would free.
  const unsigned char* Stage(const void* data, int n, unsigned char** staged) const;
};
