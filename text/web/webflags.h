// Flag words of the web text decoder and encoder.
#pragma once

#include <cstdint>

// DecodeWebTextA and its twins.
constexpr uint32_t WEBDEC_UTF8 = 0x1;          // UTF-8 sequences (lead bytes 0xC0-0xFF)
constexpr uint32_t WEBDEC_REFERENCES = 0x2;    // "&name;", "&#N;", "&#xN;"
constexpr uint32_t WEBDEC_PERCENT = 0x4;       // "%XX"
constexpr uint32_t WEBDEC_STOP_AT_TAG = 0x8;   // stop at the first "<"
constexpr uint32_t WEBDEC_SKIP_TAGS = 0x10;    // tags are dropped
constexpr uint32_t WEBDEC_PLUS_BLANK = 0x20;   // "+" is a blank
constexpr uint32_t WEBDEC_BR_LF = 0x40;        // tags dropped, "<br" gives LF
constexpr uint32_t WEBDEC_BR_CRLF = 0x80;      // tags dropped, "<br" gives CR LF (wins)
constexpr uint32_t WEBDEC_JOIN_LINES = 0x100;  // line breaks joined
constexpr uint32_t WEBDEC_COLLAPSE_BLANKS = 0x200;
constexpr uint32_t WEBDEC_COLLAPSE_TABS = 0x400;  // blanks and tabs collapse
constexpr uint32_t WEBDEC_XML_NAMES = 0x800;      // only the five XML names

// EncodeWebTextA and EncodeWebTextW.
constexpr uint32_t WEBENC_UTF8 = 0x1;        // 0x80 and up as UTF-8, not escaped
constexpr uint32_t WEBENC_URL = 0x4;         // "%XX"; without it "&#N;"
constexpr uint32_t WEBENC_SEPARATORS = 0x8;  // "/", ":" and backslash escaped too
constexpr uint32_t WEBENC_PLUS = 0x20;       // a blank is "+"
constexpr uint32_t WEBENC_BR_LF = 0x40;      // LF is "<br>"
constexpr uint32_t WEBENC_BR_CR = 0x80;      // CR LF, or a lone CR, is "<br>"

// The encoder writes nothing but a terminator into less than this.
constexpr int WEBENC_MIN_SIZE = 9;
