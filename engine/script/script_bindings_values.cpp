// Script bindings of the value types: text and number vectors, rectangles and the alignment
// flags.
#include <luabind/luabind.hpp>

#include "engine/core/align.h"
#include "engine/core/geometry.h"
#include "engine/core/recti.h"
#include "engine/core/vectors.h"
#include "engine/script/script_bind.h"
#include "engine/script/script_bindings_parts.h"

namespace vek::bindings {

namespace {

// Index checks of the vector members: "at" outside the elements is a script error, "set"
// outside them does nothing.
template <class V>
typename V::value_type VectorAt(const V& v, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= v.size())
    throw cScriptError("invalid vector<T> subscript");
  return v[static_cast<std::size_t>(index)];
}

template <class V>
void VectorSet(V& v, int index, const typename V::value_type& value) {
  if (index >= 0 && static_cast<std::size_t>(index) < v.size()) v[static_cast<std::size_t>(index)] = value;
}

template <class V>
int VectorSize(const V& v) {
  return static_cast<int>(v.size());
}

template <class V>
void VectorResize(V& v, int size) {
  if (size < 0) throw cScriptError("vector<T> too long");
  v.resize(static_cast<std::size_t>(size));
}

template <class V>
bool VectorEmpty(const V& v) {
  return v.empty();
}

// The vector made with a number of zero elements.
template <class V>
luabind::class_<V> NumberVector(const char* name) {
  return luabind::class_<V>(name)
      .def(luabind::constructor<>())
      .def(luabind::constructor<std::size_t>())
      .def("at", &VectorAt<V>)
      .def("set", &VectorSet<V>)
      .def("size", &VectorSize<V>)
      .def("resize", &VectorResize<V>);
}

// The rectangles are plain aggregates; scripts make them through these (luabind builds the
// object with a constructor call, which an aggregate does not offer to every compiler).
struct RectiMaker : recti {
  RectiMaker(i32 x, i32 y, i32 w, i32 h) : recti{x, y, w, h} {}
};
struct RectfMaker : rectf {
  RectfMaker(f32 x, f32 y, f32 w, f32 h) : rectf{x, y, w, h} {}
};

}  // namespace

luabind::scope StrlistClass() {
  return luabind::class_<strlist>("strlist")
      .def(luabind::constructor<>())
      .def("size", &VectorSize<strlist>)
      .def("at", &VectorAt<strlist>)
      .def("resize", &VectorResize<strlist>)
      .def("set", &VectorSet<strlist>)
      .def("empty", &VectorEmpty<strlist>);
}

luabind::scope AlignClass() {
  using luabind::value;
  return luabind::class_<cAlign>("cAlign")
      .enum_("eAlign")[(value("None", cAlign::None),
                        value("Left", cAlign::Left),
                        value("Center", cAlign::Center),
                        value("Right", cAlign::Right),
                        value("Top", cAlign::Top),
                        value("Middle", cAlign::Middle),
                        value("Bottom", cAlign::Bottom))];
}

luabind::scope VectorClasses() { return (NumberVector<vectorf>("vectorf"), NumberVector<vectori>("vectori")); }

luabind::scope RectClasses() {
  return (luabind::class_<recti, RectiMaker>("recti").def(luabind::constructor<i32, i32, i32, i32>()),
          luabind::class_<rectf, RectfMaker>("rectf").def(luabind::constructor<f32, f32, f32, f32>()));
}

}  // namespace vek::bindings
