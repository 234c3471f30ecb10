// Tags in HTML or XML text, found without a document tree: the end of a
// tag, the next opening or closing tag of a name (with nesting), and the
// value of a named attribute. A quoted stretch ends at its own quote.
#pragma once

#include <cstdint>

// SkipToTagEnd flags.
constexpr uint32_t TAGEND_MUST_OPEN = 0x1;  // the text must begin with "<", else 0
constexpr uint32_t TAGEND_NUL_ENDS = 0x200;

// The length through the ">" that ends the tag (double-quoted stretches
// passed over), n when there is none, the NUL's position with
// TAGEND_NUL_ENDS. n < 1 gives 0.
int SkipToTagEndA(int n, const char* text, uint32_t flags);
int SkipToTagEndW(int n, const wchar_t* text, uint32_t flags);

// FindTag flags.
constexpr uint32_t TAGFIND_NAME_LENGTH = 0xFF;  // 0: the name runs to its terminator
constexpr uint32_t TAGFIND_CLOSING = 0x100;     // find "</name" instead of "<name"
constexpr uint32_t TAGFIND_NUL_ENDS = 0x200;
constexpr uint32_t TAGFIND_NESTED = 0x400;            // with TAGFIND_CLOSING: nesting honoured
constexpr uint32_t TAGFIND_DEPTH_MINUS1 = 0x800;      // nesting starts at depth -1
constexpr uint32_t TAGFIND_END_AT_CLOSE = 0x1000;     // end position at the closing tag's "<"
constexpr uint32_t TAGFIND_END_WITH_LENGTH = 0x2000;  // end << 8 | closing tag's length (at most 255)

// The position of the found tag's "<", or -1. after (optional) receives the
// position after its ">" (the end of the text when nothing is found); end
// (optional) the end of the element: after the matching closing tag (or the
// end of the text), or after the tag itself when it closes itself. Names
// are compared without regard to case.
int FindTagA(const char* text, int n, const char* name, int* after, int* end, uint32_t flags);
int FindTagW(const wchar_t* text, int n, const wchar_t* name, int* after, int* end, uint32_t flags);

// The position of the named attribute's value in the tag text (from its "<"
// or inside it), or -1; valueLength (optional) receives its length, after
// (optional) the position after the tag's ">".
int FindTagAttributeA(const char* text, int n, const char* name, int* valueLength, int* after);
int FindTagAttributeW(const wchar_t* text, int n, const wchar_t* name, int* valueLength, int* after);

// The attribute's value decoded (UTF-8 and character references) into dest;
// the result is its length, 0 with an empty text when it is missing.
int GetTagAttributeA(const char* text, int n, char* dest, int size, const char* name);
int GetTagAttributeW(const wchar_t* text, int n, wchar_t* dest, int size, const wchar_t* name);
