#pragma once
// The toolkit's error list. No toolkit call returns an error code: a failure pushes a numbered
// code here and the call returns early unless the host has set the continue-after-errors
// switch. A caller clears the list, makes its call and then tests ftkErrorPending().
#include <cstdint>
#include <cstdio>

enum : int32_t {
  NO_FTK_ERRORS = 0,
  ERR_NO_MEM = 1,
  ERR_INVALID_ARG = 2,
  ERR_INVALID_DATA = 3,
  ERR_INVALID_CHUNK = 4,
  ERR_INVALID_DATABASE = 5,
  ERR_WRONG_DATABASE = 6,
  ERR_UNFOUND_CHUNK = 7,
  ERR_WRONG_OBJECT = 8,
  ERR_NO_SUCH_FILE = 9,
  ERR_INIT_FAILED = 10,
  ERR_OPENING_FILE = 11,
  ERR_CLOSING_FILE = 12,
  ERR_READING_FILE = 13,
  ERR_CREATING_DATABASE = 14,
  ERR_READING_DATABASE = 15,
  ERR_WRITING_DATABASE = 16,
  ERR_WRITING_FILE = 17,
  ERR_STRING_TOO_LONG = 18,
  ERR_TOO_MANY_FILES = 19,
  ERR_PUT_FAILED = 21,  // making or filling a chunk of a put failed (no text of its own)
  N_ERRORS = 22,
};

struct ftkErrorEntry {
  int32_t code;      // 0 = free
  const char* text;  // static text of the code
};

inline constexpr int kErrorListSize3ds = 20;

// Code 0 does nothing; otherwise sets the pending flag and records the code in the first free
// entry of 0..18 (entry 19 always ends the list); a full list puts it in the overflow record,
// or code 22 when that is taken too.
void ftkErrorPush(int32_t code);
// Empties the list and clears the pending flag; the overflow record keeps its content.
void ftkErrorClear();
// The texts of the recorded entries, newest first, one a line.
void ftkErrorPrint(std::FILE* stream);
const ftkErrorEntry* ftkErrorList();
const ftkErrorEntry& ftkErrorOverflow();
const char* ftkErrorText(int32_t code);
bool ftkErrorPending();
// The host's switch: while set, toolkit calls record failures and go on.
void ftkSetContinueAfterErrors(bool on);
bool ftkContinueAfterErrors();

// The stop rule: an error is pending and errors are not ignored.
inline bool ftkStop3ds() { return ftkErrorPending() && !ftkContinueAfterErrors(); }
// Pushes the code and tells whether the caller must return.
inline bool ftkFail3ds(int32_t code) {
  ftkErrorPush(code);
  return !ftkContinueAfterErrors();
}
