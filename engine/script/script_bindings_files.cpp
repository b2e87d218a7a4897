// Script bindings of the file layer: file names, files, folder searches and the data
// manager (a base class for the game's own).
#include <luabind/luabind.hpp>

#include "engine/files/data_manager.h"
#include "engine/files/file.h"
#include "engine/files/file_system.h"
#include "engine/files/filename.h"
#include "engine/script/script_bindings_parts.h"

namespace vek::bindings {

namespace {

vek::string FilenamePath(const filename& f) { return f.path; }
vek::string FilenameName(const filename& f) { return f.name; }
vek::string FilenameExt(const filename& f) { return f.ext; }
vek::string FilenameDir(const filename& f) { return f.dir(); }
vek::string FilenameFile(const filename& f) { return f.file(); }
const char* FilenameCStr(const filename& f) { return f.c_str(); }
bool FilenameEmpty(const filename& f) { return f.empty(); }

}  // namespace

luabind::scope FileSystemClass() {
  return luabind::class_<cFileSystem>("cFileSystem")
      .def(luabind::constructor<>())
      .def("GetFirst", &cFileSystem::GetFirst)
      .def("GetNext", &cFileSystem::GetNext)
      .def("Exist", &cFileSystem::Exist)
      .def("FullAccess", &cFileSystem::FullAccess)
      .def("IsFolder", &cFileSystem::IsFolder)
      .def("CreateFolder", &cFileSystem::CreateFolder);
}

luabind::scope FileClass() {
  return luabind::class_<cFile>("cFile")
      .def(luabind::constructor<>())
      .def("Open", &cFile::Open)
      .def("IsOpen", &cFile::IsOpen)
      .def("Close", &cFile::Close);
}

luabind::scope FilenameClass() {
  return luabind::class_<filename>("filename")
      .def(luabind::constructor<>())
      .def(luabind::constructor<const vek::string&>())
      .def("c_str", &FilenameCStr)
      .def("empty", &FilenameEmpty)
      // The parts are read as fields (f.path, f.dir, f.file, f.name, f.ext); "dir" and "file"
      // are made from the parts on each read.
      .property("path", &FilenamePath)
      .property("dir", &FilenameDir)
      .property("file", &FilenameFile)
      .property("name", &FilenameName)
      .property("ext", &FilenameExt)
      .def("replace_ext", &filename::replace_ext);
}

luabind::scope DataManagerClass() { return luabind::class_<cDataManager>("cDataManager"); }

}  // namespace vek::bindings
