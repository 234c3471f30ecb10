// Bytes as source text for the clipboard: C arrays, assembler data, text
// literals of several kinds and plain hex dumps.
#pragma once

// Format word of FormatBytesAsSource: the kind in bits 0-1, byte order.
enum : int {
  SOURCE_C_ARRAY = 0,    // 0x0201, per value
  SOURCE_ASSEMBLER = 1,  // DW<tab>00201h, per value
  SOURCE_TEXT = 2,       // by value size: 1 base64, 2 hex escapes, 4 C strings, else character literals
  SOURCE_DUMP = 3,       // hex pairs grouped by the value size
  SOURCE_KIND_MASK = 3,
  SOURCE_BIG_ENDIAN = 0x80,  // values most significant byte first (as the data lie)
};

// Writes count bytes of data as values of valueSize bytes (1-8), lineSize
// values (C array, assembler) or bytes (text forms, dump) a line, into
// buffer; lines end with CR LF. Stops before the text would overflow the
// buffer; the text is always terminated (a buffer below 4 bytes holds the
// empty text). A last value shorter than valueSize is written with the bytes
// there are. Returns the length of the text.
int FormatBytesAsSource(const void* data, int count, int valueSize, int flags, int lineSize, char* buffer,
                        int bufferSize);
