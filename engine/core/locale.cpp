#include "engine/core/locale.h"

namespace vek {

cLocale g_Locale;

}  // namespace vek
