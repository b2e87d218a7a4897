#include "game/app/type_tags.h"

bool IsFloat(const vek::string& tag) { return !tag.empty() && tag[0] == 'f'; }
bool IsInt(const vek::string& tag) {
  return (!tag.empty() && (tag[0] == 'i' || tag[0] == 'n')) || (tag.size() >= 2 && tag.compare(0, 2, "ui") == 0);
}
bool IsString(const vek::string& tag) { return tag.size() >= 3 && tag.compare(0, 3, "str") == 0; }
bool IsArray(const vek::string& tag) { return tag.size() >= 3 && tag.compare(0, 3, "arr") == 0; }
