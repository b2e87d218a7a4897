#include "engine/script/locale.h"

namespace vek {

cLocale g_Locale;

}  // namespace vek
