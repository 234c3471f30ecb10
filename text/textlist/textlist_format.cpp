// CTextList's formatted adding: the formatter writes into a buffer on the
// stack (or the heap once the text outgrows it), then the list takes the
// text by its length, so NULs that the format produced stay in the item.
#include <cstring>

#include "text/format/formatcore.h"
#include "text/textlist/textlist.h"
#include "text/textlist/textlistsink.h"

int SinkTextList(void* context, const char* data, int count) {
  auto* state = static_cast<TextListSinkState*>(context);
  if (count < 1) return 0;
  if (state->length + count > state->capacity) {
    int size = state->length + count + state->capacity / 2 + 256;
    char* grown = new char[size];
    std::memcpy(grown, state->buffer, state->length);
    if (state->onHeap) delete[] state->buffer;
    state->buffer = grown;
    state->capacity = size;
    state->onHeap = 1;
  }
  std::memcpy(state->buffer + state->length, data, count);
  state->length += count;
  return count;
}

namespace {

// The formatted text of one operation; the list operation reads it while
// the object lives.
class FormattedText {
 public:
  FormattedText(const char* format, va_list args) : state_{stack_, sizeof stack_, 0, 0} {
    FormatCoreA(&state_, SinkTextList, format, args);
  }
  ~FormattedText() {
    if (state_.onHeap) delete[] state_.buffer;
  }
  FormattedText(const FormattedText&) = delete;
  FormattedText& operator=(const FormattedText&) = delete;
  int length() const { return state_.length; }
  const char* text() const { return state_.buffer; }

 private:
  char stack_[1024];
  TextListSinkState state_;
};

// The key of the key-ordered inserts: the first bytes of the extra data,
// or 0 without extra data (the item's extra bytes are zeroed then).
uint32_t Key32(const void* extra) {
  uint32_t key = 0;
  if (extra) std::memcpy(&key, extra, sizeof key);
  return key;
}

uint64_t Key64(const void* extra) {
  uint64_t key = 0;
  if (extra) std::memcpy(&key, extra, sizeof key);
  return key;
}

}  // namespace

int CTextList::InsertFormatV(const void* extra, int index, const char* format, va_list args) {
  FormattedText t(format, args);
  return InsertStringLen(t.length(), t.text(), index, extra);
}

// A negative search result (a miss without flag 8) inserts at the front.
int CTextList::InsertSortedFormatV(const void* extra, unsigned flags, const char* format, va_list args) {
  FormattedText t(format, args);
  int at = BinaryFindString(t.length(), t.text(), 0, count, flags);
  return InsertStringLen(t.length(), t.text(), at < 0 ? 0 : at, extra);
}

int CTextList::InsertSortedByDataFormatV(const void* extra, unsigned flags, const char* format, va_list args) {
  FormattedText t(format, args);
  int at = BinaryFindData32String(Key32(extra), t.length(), t.text(), 0, count, flags);
  return InsertStringLen(t.length(), t.text(), at < 0 ? 0 : at, extra);
}

int CTextList::InsertSortedByData32FormatV(const void* extra, unsigned flags, const char* format, va_list args) {
  FormattedText t(format, args);
  int at = BinaryFindData32(Key32(extra), 0, count, flags);
  return InsertStringLen(t.length(), t.text(), at < 0 ? 0 : at, extra);
}

int CTextList::InsertSortedByData64FormatV(const void* extra, unsigned flags, const char* format, va_list args) {
  FormattedText t(format, args);
  int at = BinaryFindData64(Key64(extra), 0, count, flags);
  return InsertStringLen(t.length(), t.text(), at < 0 ? 0 : at, extra);
}

int CTextList::InsertSortedByData64FormatVAlt(const void* extra, unsigned flags, const char* format, va_list args) {
  return InsertSortedByData64FormatV(extra, flags, format, args);
}

int CTextList::SetFormatV(const void* extra, int index, const char* format, va_list args) {
  if (!InRange(index)) return -1;
  FormattedText t(format, args);
  return SetStringLen(t.length(), t.text(), index, extra);
}

int CTextList::AppendFormatV(const void* extra, int index, const char* format, va_list args) {
  if (!InRange(index)) return -1;
  FormattedText t(format, args);
  return AppendToItemLen(t.length(), t.text(), index, extra);
}

// The variable-argument forms hand their list to the V forms.
#define CALL_V(call)      \
  va_list args;           \
  va_start(args, format); \
  int result = call;      \
  va_end(args);           \
  return result

int CTextList::InsertFormatData(const void* extra, int index, const char* format, ...) {
  CALL_V(InsertFormatV(extra, index, format, args));
}
int CTextList::InsertFormat(int index, const char* format, ...) { CALL_V(InsertFormatV(nullptr, index, format, args)); }
int CTextList::AddFormat(const char* format, ...) { CALL_V(InsertFormatV(nullptr, -1, format, args)); }
int CTextList::InsertSortedFormat(const void* extra, unsigned flags, const char* format, ...) {
  CALL_V(InsertSortedFormatV(extra, flags, format, args));
}
int CTextList::InsertSortedFormat(unsigned flags, const char* format, ...) {
  CALL_V(InsertSortedFormatV(nullptr, flags, format, args));
}
int CTextList::InsertSortedByDataFormat(const void* extra, unsigned flags, const char* format, ...) {
  CALL_V(InsertSortedByDataFormatV(extra, flags, format, args));
}
int CTextList::InsertSortedByDataFormat(unsigned flags, const char* format, ...) {
  CALL_V(InsertSortedByDataFormatV(nullptr, flags, format, args));
}
int CTextList::InsertSortedByData32Format(const void* extra, unsigned flags, const char* format, ...) {
  CALL_V(InsertSortedByData32FormatV(extra, flags, format, args));
}
int CTextList::InsertSortedByData32Format(unsigned flags, const char* format, ...) {
  CALL_V(InsertSortedByData32FormatV(nullptr, flags, format, args));
}
int CTextList::InsertSortedByData64Format(const void* extra, unsigned flags, const char* format, ...) {
  CALL_V(InsertSortedByData64FormatV(extra, flags, format, args));
}
int CTextList::InsertSortedByData64Format(unsigned flags, const char* format, ...) {
  CALL_V(InsertSortedByData64FormatV(nullptr, flags, format, args));
}
int CTextList::InsertSortedByData64FormatAlt(const void* extra, unsigned flags, const char* format, ...) {
  CALL_V(InsertSortedByData64FormatV(extra, flags, format, args));
}
int CTextList::InsertSortedByData64FormatAlt(unsigned flags, const char* format, ...) {
  CALL_V(InsertSortedByData64FormatV(nullptr, flags, format, args));
}
int CTextList::SetFormatData(const void* extra, int index, const char* format, ...) {
  CALL_V(SetFormatV(extra, index, format, args));
}
int CTextList::SetFormat(int index, const char* format, ...) { CALL_V(SetFormatV(nullptr, index, format, args)); }
int CTextList::AppendFormatData(const void* extra, int index, const char* format, ...) {
  CALL_V(AppendFormatV(extra, index, format, args));
}
int CTextList::AppendFormat(int index, const char* format, ...) { CALL_V(AppendFormatV(nullptr, index, format, args)); }

#undef CALL_V

CTextList& CTextList::operator=(const CTextList& other) {
  if (&other == this) return *this;  // removing first would lose the items
  RemoveAll();
  extraSize = other.extraSize;
  mruLimit = other.mruLimit;
  mruMode = other.mruMode;
  ownerWord = other.ownerWord;
  InsertFrom(&other, -1, 0, -1);
  return *this;
}
