# Every outside library the project uses, found once and exposed as imported targets.
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
find_package(SDL2 REQUIRED CONFIG)
set(OpenGL_GL_PREFERENCE GLVND)
find_package(OpenGL REQUIRED COMPONENTS OpenGL)
find_package(ZLIB REQUIRED)
find_package(PNG REQUIRED)
find_package(JPEG REQUIRED)
find_package(Boost 1.74 REQUIRED)
pkg_check_modules(LUABIND REQUIRED IMPORTED_TARGET luabind)
pkg_check_modules(LUA REQUIRED IMPORTED_TARGET lua5.2)
pkg_check_modules(MINIZIP REQUIRED IMPORTED_TARGET minizip)
pkg_check_modules(XMP REQUIRED IMPORTED_TARGET libxmp)
pkg_check_modules(VORBISFILE REQUIRED IMPORTED_TARGET vorbisfile)
pkg_check_modules(VORBISENC IMPORTED_TARGET vorbisenc)

# Debian's luabind is built with the C++11 switch and Lua 5.2.
add_library(vek_luabind INTERFACE)
target_link_libraries(vek_luabind INTERFACE PkgConfig::LUABIND PkgConfig::LUA Boost::headers)
target_compile_definitions(vek_luabind INTERFACE LUABIND_USE_CXX11 BOOST_BIND_GLOBAL_PLACEHOLDERS)

if(NOT VEK_FUZZ)
  find_package(Freetype REQUIRED)
  # The test and benchmark libraries come with the test tools (`.ci/install test`); building
  # and playing the game needs neither.
  find_package(GTest QUIET)
  find_package(benchmark QUIET)
endif()
