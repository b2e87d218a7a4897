#pragma once
// The pieces of the engine's script registration that belong to the script layer (values,
// files, default texts), one group per source file. The application frame puts them together
// with the other services' groups in their order (RegisterEngine).
#include <luabind/scope.hpp>

namespace vek::bindings {

// script_bindings_locale.cpp
luabind::scope LocaleClass();  // "cLocale"
// script_bindings_files.cpp
luabind::scope FileSystemClass();   // "cFileSystem"
luabind::scope FileClass();         // "cFile"
luabind::scope FilenameClass();     // "filename"
luabind::scope DataManagerClass();  // "cDataManager"
// script_bindings_values.cpp
luabind::scope StrlistClass();   // "strlist"
luabind::scope AlignClass();     // "cAlign"
luabind::scope VectorClasses();  // "vectorf", "vectori"
luabind::scope RectClasses();    // "recti", "rectf"

}  // namespace vek::bindings
