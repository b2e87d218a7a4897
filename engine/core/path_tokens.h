#pragma once
// The values behind the four path tokens, set once at start-up.
#include "engine/core/types.h"

namespace vek {

enum ePathToken { e_ExePath = 0, e_StaticPath = 1, e_AppPath = 2, e_UserPath = 3 };

// Token texts: "{ExePath}", "{StaticPath}", "{AppPath}", "{UserPath}".
const char* PathTokenName(int token);
const vek::string& GetPathToken(int token);
void SetPathToken(int token, const vek::string& value);

}  // namespace vek
