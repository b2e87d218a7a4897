#pragma once
// Internals of the script host shared by its two source files.
#include <cstddef>
#include <exception>

struct lua_State;

namespace vek {
namespace script_detail {

// Message handler of every protected call: hands the error object to the global "_ERROR"
// (when it is a function) and returns the object unchanged.
int ErrorHook(lua_State* L);

// Opens the standard libraries, sets "_ALERT", "_ERROR" and "_VEK_PRINT", and replaces
// print, pcall, xpcall, coroutine.create and coroutine.wrap. Runs as a protected call.
int OpenLibraries(lua_State* L);

// Hands the error object on top of the stack to "_ALERT" and pops it (never raises).
void ReportAlert(lua_State* L);

// Copies an exception's text into a fixed buffer, so that the text can be raised as a
// script error after the C++ handler has been left.
void CopyMessage(char* out, std::size_t size, const char* text);
void CopyCurrentException(char* out, std::size_t size) noexcept;

}  // namespace script_detail
}  // namespace vek
