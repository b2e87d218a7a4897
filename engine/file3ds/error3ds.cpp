#include "engine/file3ds/error3ds.h"

namespace {

ftkErrorEntry g_List[kErrorListSize3ds] = {};
ftkErrorEntry g_Overflow = {0, nullptr};
bool g_Pending = false;
bool g_Continue = false;

}  // namespace

const char* ftkErrorText(int32_t code) {
  switch (code) {
    case 0: return "NO_FTK_ERRORS: No errors are pending";
    case 1: return "ERR_NO_MEM: Not enough memory to complete operation";
    case 2:
      return "ERR_INVALID_ARG: The argument passed to the function is invalid.  Usually caused "
             "by a NULL pointer or an out of range numeric argument.";
    case 3:
      return "ERR_INVALID_DATA: The structure passed as an argument to the function has invalid "
             "or out of range data in its fields.";
    case 4:
      return "ERR_INVALID_CHUNK: An invalid chunk structure was encountered while reading the "
             "database. Usually caused by a corrupt database or file";
    case 5:
      return "ERR_INVALID_DATABASE: The database passed as an argument has not be created yet.";
    case 6:
      return "ERR_WRONG_DATABASE: The database passed as an argument is the wrong kind of "
             "database for this function.";
    case 7:
      return "ERR_UNFOUND_CHUNK: The database is missing important file chunks needed to fill "
             "out the requested structure.  Usually caused by a corrupt database or file";
    case 8:
      return "ERR_WRONG_OBJECT: The name passed to the functions exists, but is not the type of "
             "object asked for.  For example, asking for a mesh object with the "
             "GetCameraByName3ds function.";
    case 9: return "ERR_NO_SUCH_FILE: The filename passed as an argument for reading does not exist";
    case 10: return "ERR_INIT_FAILED: Failed to initialize structure passed as an argument";
    case 11: return "ERR_OPENING_FILE: Could not open requested file";
    case 12: return "ERR_CLOSING_FILE: Could not close requested file";
    case 13: return "ERR_READING_FILE: Error occured while reading file";
    case 14: return "ERR_CREATING_DATABASE: Error occured while creating database";
    case 15: return "ERR_READING_DATABASE: Error occured while reading database";
    case 16: return "ERR_WRITING_DATABASE: Error occured while writing database";
    case 17: return "ERR_WRITING_FILE: Error occured while writing file";
    case 18:
      return "ERR_STRING_TOO_LONG: String encountered in file, structure, or as an argument was "
             "longer than expected.  Possibly caused by an uninitialed pointer, corrupt file or "
             "database";
    case 19:
      return "ERR_TOO_MANY_FILES: The toolkit has reached its maximum open file limit of 252 "
             "files.";
    case 22: return "N_ERRORS: More errors were reported then could be recorded.";
    default: return "Unknown error code was encountered";
  }
}

void ftkErrorPush(int32_t code) {
  if (code == 0) return;
  g_Pending = true;
  for (int i = 0; i < kErrorListSize3ds - 1; ++i) {
    if (g_List[i].code == 0) {
      g_List[i] = {code, ftkErrorText(code)};
      g_List[i + 1].code = 0;
      return;
    }
  }
  if (g_Overflow.code == 0) {
    g_Overflow = {code, ftkErrorText(code)};
  } else {
    g_Overflow = {N_ERRORS, ftkErrorText(N_ERRORS)};
  }
}

void ftkErrorClear() {
  g_Pending = false;
  for (ftkErrorEntry& e : g_List) e.code = 0;
}

void ftkErrorPrint(std::FILE* stream) {
  if (!stream) return;
  for (int i = kErrorListSize3ds - 1; i >= 0; --i) {
    if (g_List[i].code != 0) std::fprintf(stream, "%s\n", g_List[i].text);
  }
}

const ftkErrorEntry* ftkErrorList() { return g_List; }
const ftkErrorEntry& ftkErrorOverflow() { return g_Overflow; }
bool ftkErrorPending() { return g_Pending; }
void ftkSetContinueAfterErrors(bool on) { g_Continue = on; }
bool ftkContinueAfterErrors() { return g_Continue; }
