// The formatting engine: one template serves the 8-bit and the 16-bit core.
#include "text/format/formatcore.h"

#include <cstring>

#include "base/check.h"
#include "text/codecs/utf.h"
#include "text/format/formatdigits.h"
#include "text/format/formatfloat.h"
#include "text/format/formatgroup.h"
#include "text/format/formatmemory.h"
#include "text/format/formatdirective.h"
#include "text/format/formattime.h"

using namespace formatdirective;

namespace {

enum Conversion {
  kCharUpper,
  kChar,
  kStringUpper,
  kString,
  kInt,
  kDec,
  kUnsigned,
  kOctal,
  kBinary,
  kPointer,
  kHex,
  kCount,
  kFloatG,
  kFloatGUpper,
  kFloatE,
  kFloatEUpper,
  kFloatF,
  kFloatHex,
  kMemory,
  kGrouped,
  kGroupedUnsigned,
  kFloatFGrouped,
  kTime,
  kNoConversion = 0xFF
};

// The one list of conversion letters: both tables below are derived from it.
struct ConversionLetter {
  char letter;
  Conversion conversion;
};
constexpr ConversionLetter kConversionLetters[] = {
    {'A', kFloatHex},      {'a', kFloatHex}, {'B', kBinary},      {'b', kBinary},      {'C', kCharUpper},
    {'c', kChar},          {'D', kGrouped},  {'d', kDec},         {'E', kFloatEUpper}, {'e', kFloatE},
    {'F', kFloatFGrouped}, {'f', kFloatF},   {'G', kFloatGUpper}, {'g', kFloatG},      {'i', kInt},
    {'K', kTime},          {'k', kTime},     {'M', kMemory},      {'m', kMemory},      {'n', kCount},
    {'o', kOctal},         {'p', kPointer},  {'S', kStringUpper}, {'s', kString},      {'U', kGroupedUnsigned},
    {'u', kUnsigned},      {'X', kHex},      {'x', kHex},
};
constexpr const char kLengthLetters[] = "ILhjlqtwz";
struct FlagLetter {
  char letter;
  FlagCode code;
};
constexpr FlagLetter kFlagLetters[] = {{'+', kFlagPlus}, {' ', kFlagBlank}, {'#', kFlagAlt},   {'-', kFlagLeft},
                                       {'0', kFlagZero}, {'~', kFlagSkip},  {'@', kFlagLetter}};

constexpr FormatClassTable MakeCharClass() {
  FormatClassTable t{};
  t.at[(unsigned char)'*'] |= kClassStar;
  for (unsigned c = '0'; c <= '9'; ++c) t.at[c] |= kClassDigit;
  t.at[(unsigned char)'.'] |= kClassDot;
  for (const char* p = kLengthLetters; *p; ++p) t.at[(unsigned char)*p] |= kClassLength;
  for (const auto& e : kConversionLetters) t.at[(unsigned char)e.letter] |= kClassConversion;
  for (const auto& e : kFlagLetters) t.at[(unsigned char)e.letter] |= e.code << kFlagCodeShift;
  return t;
}

constexpr FormatClassTable MakeConvIndex() {
  FormatClassTable t{};
  for (auto& v : t.at) v = kNoConversion;
  for (const auto& e : kConversionLetters) t.at[(unsigned char)e.letter] = e.conversion;
  return t;
}

static_assert(MakeCharClass()['%'] == 0 && MakeCharClass()['0'] == (kClassDigit | kFlagZero << kFlagCodeShift),
              "'0' is a digit and a flag");
static_assert(MakeConvIndex()['d'] == kDec && MakeConvIndex()['h'] == kNoConversion, "conversion letters");

}  // namespace

const FormatClassTable FormatCharClass = MakeCharClass();
const FormatClassTable FormatConvIndex = MakeConvIndex();

void FillCharsW(wchar_t* dest, wchar_t ch, unsigned count) {
  for (unsigned i = 0; i < count; ++i) dest[i] = ch;
}

namespace {

typedef FormatArgState::Value ArgValue;

ArgValue ReadArg(va_list& ap, int kind) {
  ArgValue v;
  v.bits = 0;
  switch (kind) {
    case FMT_ARG_POINTER:
      v.pointer = va_arg(ap, const void*);
      break;
    case FMT_ARG_INT64:
      v.bits = va_arg(ap, unsigned long long);
      break;
    case FMT_ARG_DOUBLE:
      v.real = va_arg(ap, double);
      break;
    default:
      v.bits = (unsigned)va_arg(ap, int);
      break;
  }
  return v;
}

int ArgKindOf(unsigned conversion, uint32_t flags) {
  switch (conversion) {
    case 'C':
    case 'c':
      return FMT_ARG_INT;
    case 'S':
    case 's':
    case 'n':
    case 'm':
    case 'M':
      return FMT_ARG_POINTER;
    case 'g':
    case 'G':
    case 'e':
    case 'E':
    case 'f':
    case 'F':
    case 'a':
    case 'A':
      return FMT_ARG_DOUBLE;
    default:
      return (flags & FMT_LEN_MASK) == FMT_LEN_64 ? FMT_ARG_INT64 : FMT_ARG_INT;
  }
}

template <class Ch>
void Prescan(const Ch* f, va_list args, FormatArgState* state, int kind) {
  unsigned char kinds[13] = {};  // by argument number 1-12; 0 unknown
  if (state->argLetter >= 1 && state->argLetter <= 12) kinds[state->argLetter] = (unsigned char)kind;
  int implicit = state->fetchedCount + 1;
  auto star = [&](const Ch*) {
    if (implicit >= 1 && implicit <= 12) kinds[implicit] = FMT_ARG_INT;
    ++implicit;
    return 0;
  };
  for (;;) {
    while (*f && Unit(*f) != '%') ++f;
    if (!*f) break;
    Directive dir;
    Status status;
    f = Parse(f + 1, &dir, &status, star);
    if (status == kStop) break;
    if (status != kConversion) continue;
    int position = dir.letter ? dir.letter : implicit++;
    if (position >= 1 && position <= 12) kinds[position] = (unsigned char)ArgKindOf(dir.conversion, dir.flags);
  }
  int last = 1;
  for (int i = 12; i > 1; --i)
    if (kinds[i]) {
      last = i;
      break;
    }
  va_list ap;
  va_copy(ap, args);
  for (int i = state->savedCount; i < last; ++i)
    state->saved[i] = ReadArg(ap, kinds[i + 1] ? (int)kinds[i + 1] : (int)FMT_ARG_INT);
  va_end(ap);
  if (state->savedCount < last) state->savedCount = last;
}

const wchar_t kNullW[] = {'(', 'n', 'u', 'l', 'l', ')', 0};

template <class Ch>
bool IsHighHalf(Ch c) {
  return sizeof(Ch) == 2 && IsHighSurrogate(Unit(c));
}
template <class Ch>
bool IsLowHalf(Ch c) {
  return sizeof(Ch) == 2 && IsLowSurrogate(Unit(c));
}

template <class Ch>
class Engine {
 public:
  typedef int (*Sink)(void*, const Ch*, int);

  Engine(void* context, Sink sink) : context_(context), sink_(sink) {}
  int Run(const Ch* format, va_list args);

 private:
  // Output is staged and handed to the sink in large pieces; conversions
  // start with at least kFlushAt characters of room, which is more than any
  // of them writes.
  static const int kStageSize = 2248, kFlushAt = 1124, kCopiedRun = 128, kFillPiece = 256;

  void Emit(const Ch* data, int count);
  void Flush() {
    if (staged_) Emit(stage_, staged_);
    staged_ = 0;
  }
  void Put(Ch c) {
    if (staged_ == kStageSize) Flush();
    stage_[staged_++] = c;
  }
  void Fill(Ch c, int count) {
    for (; count > 0; --count) Put(c);
  }
  void FillDirect(Ch c, int count);
  ArgValue Fetch(int kind, const Ch* position);

  const Ch* OneDirective(const Ch* p);
  void Convert(const Directive& dir, const Ch* next);
  int Character(uint32_t& flags, unsigned conversion, Ch* dest, const Ch* next);
  int Integer(int index, unsigned conversion, uint32_t& flags, int& width, int precision, int& padStart,
              const Ch* next);
  void String(uint32_t flags, unsigned conversion, int width, int precision, const Ch* next);
  template <class S>
  void StringOf(const S* text, uint32_t flags, int width, int precision);
  void Pad(uint32_t flags, int width, int start, int padStart);

  // 8-bit or 16-bit argument: the length letter decides, else the letter's
  // default (upper case is the other width than the core's).
  static bool WideArg(bool upperLetter, uint32_t flags) {
    uint32_t len = flags & FMT_LEN_MASK;
    if (len == FMT_LEN_LONG || len == FMT_LEN_64) return true;
    if (len == FMT_LEN_SHORT || len == FMT_LEN_CHAR) return false;
    return (sizeof(Ch) == 1) == upperLetter;
  }

  void* context_;
  Sink sink_;
  int total_ = 0;
  int staged_ = 0;
  Ch carry_ = 0;  // a high surrogate held back until its partner is out
  FormatArgState args_;
  va_list ap_;
  Ch stage_[kStageSize];
};

// The 16-bit core keeps a surrogate pair within one sink call, so that a
// sink converting to UTF-8 always sees both halves.
template <class Ch>
void Engine<Ch>::Emit(const Ch* data, int count) {
  if (carry_) {
    Ch pair[2] = {carry_, 0};
    int n = 1;
    if (count > 0 && IsLowHalf(data[0])) pair[n++] = *data++, --count;
    carry_ = 0;
    total_ += sink_(context_, pair, n);
  }
  if (count > 0 && IsHighHalf(data[count - 1])) carry_ = data[--count];
  if (count > 0) total_ += sink_(context_, data, count);
}

template <class Ch>
void Engine<Ch>::FillDirect(Ch c, int count) {
  Ch fill[kFillPiece];
  int piece = count < kFillPiece ? count : kFillPiece;
  for (int i = 0; i < piece; ++i) fill[i] = c;
  for (; count > 0; count -= piece) {
    if (piece > count) piece = count;
    Emit(fill, piece);
  }
}

template <class Ch>
ArgValue Engine<Ch>::Fetch(int kind, const Ch* position) {
  if (int letter = args_.argLetter) {
    if (args_.savedCount < letter) Prescan(position, ap_, &args_, kind);
    return args_.saved[letter - 1];
  }
  ArgValue v = ReadArg(ap_, kind);
  ++args_.fetchedCount;
  if (args_.savedCount < 12) args_.saved[args_.savedCount++] = v;
  return v;
}

template <class Ch>
int Engine<Ch>::Run(const Ch* format, va_list args) {
  std::memset(&args_, 0, sizeof args_);
  va_copy(ap_, args);
  const Ch* f = format;
  for (;;) {
    if (staged_ >= kFlushAt) Flush();
    const Ch* run = f;
    while (*f && Unit(*f) != '%' && f - run < kFlushAt) ++f;
    if (int n = (int)(f - run)) {
      if (n <= kCopiedRun && staged_ + n <= kStageSize) {
        std::memcpy(stage_ + staged_, run, n * sizeof(Ch));
        staged_ += n;
      } else {
        Flush();
        Emit(run, n);
      }
      continue;
    }
    if (!*f) break;
    f = OneDirective(f + 1);
    if (!f) break;
  }
  Flush();
  if (carry_) Emit(nullptr, 0);
  va_end(ap_);
  return total_;
}

// Returns where the format goes on, or null when formatting ends.
template <class Ch>
const Ch* Engine<Ch>::OneDirective(const Ch* p) {
  Directive dir;
  Status status;
  args_.argLetter = 0;
  auto star = [&](const Ch* position) {
    args_.argLetter = dir.letter;
    return (int)(uint32_t)Fetch(FMT_ARG_INT, position).bits;
  };
  const Ch* next = Parse(p, &dir, &status, star);
  switch (status) {
    case kPercent:
      Put('%');
      return next;
    case kStop:
      return nullptr;
    case kConversion:
      args_.argLetter = dir.letter;
      Convert(dir, next);
      return next;
    default:
      return next;
  }
}

template <class Ch>
void Engine<Ch>::Convert(const Directive& dir, const Ch* next) {
  uint32_t flags = dir.flags;
  int width = dir.width, precision = dir.precision;
  unsigned conversion = dir.conversion;
  int index = FormatConvIndex[conversion];
  // A conversion writes straight into the stage: it starts with kFlushAt of room.
  DEBUG_CHECK(staged_ >= 0 && kStageSize - staged_ >= kFlushAt);
  int start = staged_, padStart = staged_;
  Ch* dest = stage_ + staged_;
  int given = (flags & FMT_PRECISION) ? precision : 0;
  int n = 0;
  switch (index) {
    case kString:
    case kStringUpper:
      String(flags, conversion, width, precision, next);
      return;
    case kCount:
      *static_cast<int*>(const_cast<void*>(Fetch(FMT_ARG_POINTER, next).pointer)) = total_ + staged_ + (carry_ ? 1 : 0);
      return;
    case kChar:
    case kCharUpper:
      n = Character(flags, conversion, dest, next);
      break;
    case kFloatG:
    case kFloatGUpper:
    case kFloatE:
    case kFloatEUpper:
    case kFloatF:
    case kFloatFGrouped:
    case kFloatHex: {
      double value = Fetch(FMT_ARG_DOUBLE, next).real;
      if (index == kFloatG || index == kFloatE) flags |= FMT_LOWER;
      if (index == kFloatG || index == kFloatGUpper) {
        n = FormatFloatG(value, dest, flags, precision);
      } else if (index == kFloatE || index == kFloatEUpper) {
        n = FormatFloatE(value, dest, flags, precision);
      } else if (index == kFloatHex) {
        n = FormatFloatHex(value, dest, flags, precision, conversion == 'a' ? FormatDigitsLower : FormatDigitsUpper);
      } else {
        n = FormatFloatF(value, dest, flags, precision);
        if (index == kFloatFGrouped) n = GroupThousands(n, dest, flags, 0, width);
      }
      flags &= ~FMT_PRECISION;
      break;
    }
    case kMemory: {
      const void* pointer = Fetch(FMT_ARG_POINTER, next).pointer;
      n = FormatMemoryHex(pointer, dest, flags, given, width,
                          conversion == 'm' ? FormatDigitsLower : FormatDigitsUpper);
      flags &= ~(FMT_PRECISION | FMT_ZEROPAD);
      // '#' has fitted the dump into the width already
      if ((flags & (FMT_ALT | FMT_WIDTH | FMT_LEFT)) == (FMT_ALT | FMT_WIDTH)) width = 0;
      break;
    }
    case kTime: {
      if (conversion == 'K') flags |= FMT_DATE;
      bool wide = (flags & FMT_LEN_MASK) == FMT_LEN_64;
      uint64_t value = Fetch(wide ? FMT_ARG_INT64 : FMT_ARG_INT, next).bits;
      n = FormatTimeValue((uint32_t)value, wide ? (uint32_t)(value >> 32) : 0, dest, flags, given);
      flags &= ~(FMT_PRECISION | FMT_ZEROPAD);
      break;
    }
    default:
      n = Integer(index, conversion, flags, width, precision, padStart, next);
      break;
  }
  DEBUG_CHECK(n >= 0 && n <= kStageSize - staged_);
  staged_ += n;
  Pad(flags, width, start, padStart);
}

template <class Ch>
int Engine<Ch>::Character(uint32_t& flags, unsigned conversion, Ch* dest, const Ch* next) {
  uint32_t value = (uint32_t)Fetch(FMT_ARG_INT, next).bits;
  unsigned c = WideArg(conversion == 'C', flags) ? (uint16_t)value : (uint8_t)value;
  if ((flags & FMT_ZEROPAD) && (flags & FMT_PRECISION)) flags &= ~FMT_PRECISION;
  if (sizeof(Ch) == 1 && c >= 256) return 0;
  if (flags & FMT_ALT) {
    if (flags & FMT_SIGN) {  // C escapes
      static const char kLetters[] = "0123456abtnvfrEF0123456789ABCDEF";
      int n = 0;
      if (c < 0x20) {
        dest[n++] = '\\';
        if (c < 7 || c > 13) {
          dest[n++] = 'x';
          dest[n++] = '0';
          dest[n++] = (Ch)('0' + c / 16);
        }
        dest[n++] = (Ch)kLetters[c];
        return n;
      }
      if (c == '\\') dest[n++] = '\\';
      dest[n++] = (Ch)c;
      return n;
    }
    if (c < 0x20) c = '.';
  }
  *dest = (Ch)c;
  return 1;
}

template <class Ch>
int Engine<Ch>::Integer(int index, unsigned conversion, uint32_t& flags, int& width, int precision, int& padStart,
                        const Ch* next) {
  bool isSigned = index == kInt || index == kDec || index == kGrouped;
  uint32_t len = flags & FMT_LEN_MASK;
  uint64_t magnitude;
  bool negative = false;
  if (len == FMT_LEN_64) {
    magnitude = Fetch(FMT_ARG_INT64, next).bits;
    if (isSigned && (int64_t)magnitude < 0) negative = true, magnitude = 0 - magnitude;
  } else {
    uint32_t v = (uint32_t)Fetch(FMT_ARG_INT, next).bits;
    if (len == FMT_LEN_SHORT) v = isSigned ? (uint32_t)(int32_t)(int16_t)v : (uint16_t)v;
    if (len == FMT_LEN_CHAR) v = isSigned ? (uint32_t)(int32_t)(int8_t)v : (uint8_t)v;
    if (isSigned && (int32_t)v < 0) negative = true, v = 0 - v;
    magnitude = v;
  }
  uint32_t low = (uint32_t)magnitude, high = (uint32_t)(magnitude >> 32);

  Ch* dest = stage_ + staged_;
  int n = 0;
  if (isSigned) {
    if (negative)
      dest[n++] = '-';
    else if (flags & FMT_SIGN_WANTED)
      dest[n++] = (Ch)(flags >> 24);
  }
  if (index == kGrouped || index == kGroupedUnsigned) {
    n += FormatDec64(low, high, dest + n);
    return GroupThousands(n, dest, flags, (flags & FMT_PRECISION) ? precision : 0, width);
  }

  int minDigits = (flags & FMT_PRECISION) ? precision : 1;
  if (index == kPointer) {
    int least = (flags & FMT_ALT) ? 10 : 8;
    if (width < least) width = least;
    flags |= FMT_WIDTH;
    if (flags & FMT_ALT) flags |= FMT_ZEROPAD;
    if (!(flags & FMT_PRECISION)) minDigits = 8;
  }
  if ((flags & FMT_ALT) && magnitude) {
    if (index == kOctal) {
      dest[n++] = '0';
      --minDigits;  // the prefix counts as one of the zeros
    } else if (index == kBinary || index == kHex || index == kPointer) {
      unsigned letter = index == kPointer ? 'X' : conversion;
      if (flags & FMT_SIGN_WANTED) letter ^= 0x20;
      dest[n++] = '0';
      dest[n++] = (Ch)letter;
      if (flags & FMT_ZEROPAD) {
        width -= 2;
        padStart = staged_ + n;
      }
    }
  }

  Ch digits[64];
  int count;
  switch (index) {
    case kOctal:
      count = FormatOct64(low, high, digits);
      break;
    case kBinary:
      count = FormatBin64(low, high, digits);
      break;
    case kHex:
    case kPointer:
      count = FormatHex64(low, high, digits, conversion == 'x' ? FormatDigitsLower : FormatDigitsUpper);
      break;
    default:
      count = FormatDec64(low, high, digits);
      break;
  }
  int zeros = minDigits - count;
  int room = kStageSize - (staged_ + n) - count;
  if (zeros > room) zeros = room;
  for (int i = 0; i < zeros; ++i) dest[n++] = '0';
  for (int i = 0; i < count; ++i) dest[n++] = digits[i];
  return n;
}

template <class Ch>
void Engine<Ch>::String(uint32_t flags, unsigned conversion, int width, int precision, const Ch* next) {
  Flush();
  const void* text = Fetch(FMT_ARG_POINTER, next).pointer;
  if (WideArg(conversion == 'S', flags))
    StringOf(text ? static_cast<const wchar_t*>(text) : kNullW, flags, width, precision);
  else
    StringOf(text ? static_cast<const char*>(text) : "(null)", flags, width, precision);
}

template <class Ch>
template <class S>
void Engine<Ch>::StringOf(const S* text, uint32_t flags, int width, int precision) {
  int length = 0;
  if (!(flags & FMT_PRECISION)) {
    while (text[length]) ++length;
  } else if (precision > 0) {
    if (flags & FMT_SIGN)
      length = precision;  // counted: NULs included
    else
      while (length < precision && text[length]) ++length;
  }
  bool padded = false;
  if (length < width && !(flags & FMT_LEFT)) {
    Fill((flags & FMT_ZEROPAD) ? '0' : ' ', width - length);
    padded = true;
  }
  // In the cut forms a character of the wider width is written as its low byte.
  auto narrowed = [](S c) { return (Ch)(sizeof(S) > sizeof(Ch) ? Unit(c) & 0xFF : Unit(c)); };
  if (flags & FMT_ALT) {
    int shown = length, dots = 0;
    if ((flags & (FMT_WIDTH | FMT_LEFT)) == (FMT_WIDTH | FMT_LEFT) && length > width) {
      shown = width > 0 ? width : 0;
      dots = shown >= 3 ? 3 : 0;
    }
    for (int i = 0; i < shown; ++i) Put(i >= shown - dots || Unit(text[i]) < 0x20 ? (Ch)'.' : narrowed(text[i]));
  } else if ((flags & (FMT_PRECISION | FMT_LEFT | FMT_ZEROFILL | FMT_SIGN)) ==
                 (FMT_PRECISION | FMT_LEFT | FMT_ZEROFILL) &&
             text[length]) {
    // Cut by the precision: "..." marks that the text goes on.
    int kept = length > 3 ? length - 3 : 0;
    for (int i = 0; i < kept; ++i) Put(narrowed(text[i]));
    Fill('.', length - kept);
  } else if (sizeof(S) == sizeof(Ch)) {
    Flush();
    Emit(reinterpret_cast<const Ch*>(text), length);
  } else {
    for (int i = 0; i < length; ++i)
      if (sizeof(Ch) == 2 || Unit(text[i]) < 256) Put((Ch)Unit(text[i]));
  }
  if (length < width && !padded) Fill(' ', width - length);
}

template <class Ch>
void Engine<Ch>::Pad(uint32_t flags, int width, int start, int padStart) {
  if (flags & FMT_SKIP) {
    staged_ = start;
    return;
  }
  DEBUG_CHECK(start <= padStart && padStart <= staged_ && staged_ <= kStageSize);
  int length = staged_ - padStart;
  if (length >= width) return;
  int pad = width - length;
  Ch fill = ' ';
  int at;
  if ((flags & FMT_ZEROPAD) && !(flags & FMT_PRECISION)) {
    fill = '0';
    at = padStart;
    if (length > 0 && (stage_[at] == '-' || stage_[at] == '+' || stage_[at] == ' ')) ++at;
  } else if (flags & FMT_LEFT) {
    at = staged_;
  } else {
    at = start;  // blanks go before a prefix too
  }
  DEBUG_CHECK(at >= start && at <= staged_);
  if (staged_ + pad <= kStageSize) {
    std::memmove(stage_ + at + pad, stage_ + at, (staged_ - at) * sizeof(Ch));
    for (int i = 0; i < pad; ++i) stage_[at + i] = fill;
    staged_ += pad;
    return;
  }
  // Too wide for the staging area: the fill goes to the sink in pieces.
  if (at) Emit(stage_, at);
  FillDirect(fill, pad);
  std::memmove(stage_, stage_ + at, (staged_ - at) * sizeof(Ch));
  staged_ -= at;
}

}  // namespace

int FormatCoreA(void* context, FormatSink sink, const char* format, va_list args) {
  Engine<char> engine(context, sink);
  return engine.Run(format, args);
}

int FormatCoreW(void* context, FormatSinkW sink, const wchar_t* format, va_list args) {
  Engine<wchar_t> engine(context, sink);
  return engine.Run(format, args);
}

int FormatToSinkA(void* context, FormatSink sink, const char* format, ...) {
  va_list args;
  va_start(args, format);
  int n = FormatCoreA(context, sink, format, args);
  va_end(args);
  return n;
}

int FormatToSinkW(void* context, FormatSinkW sink, const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  int n = FormatCoreW(context, sink, format, args);
  va_end(args);
  return n;
}

void PrescanFormatArgs(const void* format, va_list args, FormatArgState* state, int kind, int charWidth) {
  if (charWidth == 2)
    Prescan(static_cast<const wchar_t*>(format), args, state, kind);
  else
    Prescan(static_cast<const char*>(format), args, state, kind);
}
