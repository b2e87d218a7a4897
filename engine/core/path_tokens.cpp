#include "engine/core/path_tokens.h"

namespace vek {
namespace {
vek::string g_Tokens[4];
const char* const kNames[4] = {"{ExePath}", "{StaticPath}", "{AppPath}", "{UserPath}"};
const vek::string kEmpty;
}  // namespace

const char* PathTokenName(int token) {
  return token >= 0 && token < 4 ? kNames[token] : "";
}

const vek::string& GetPathToken(int token) {
  return token >= 0 && token < 4 ? g_Tokens[token] : kEmpty;
}

void SetPathToken(int token, const vek::string& value) {
  if (token >= 0 && token < 4) g_Tokens[token] = value;
}

}  // namespace vek
