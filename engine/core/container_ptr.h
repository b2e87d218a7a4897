#pragma once
// The owning container of named resources (textures, fonts, sound tables): a vector of owned
// element pointers, each element with a name (`vek::string name`, its first member). The first
// positions, as many as the reserved slot count, hold elements added with the reserved flag;
// all others are appended. An element's index never changes while the container lives.
// Look-ups never fail: an unknown name or a bad index gives element 0, the default.
#include <vector>

#include "engine/core/types.h"

namespace vek {

template <class T>
class cContainerPtr {
 public:
  // Room for `capacity` pointers; `reserved` leading positions start empty.
  explicit cContainerPtr(u32 capacity = 0, u32 reserved = 0) : m_Reserved(reserved) {
    m_Items.reserve(capacity > reserved ? capacity : reserved);
    m_Items.resize(reserved, nullptr);
  }
  ~cContainerPtr() { Clear(); }
  cContainerPtr(const cContainerPtr&) = delete;
  cContainerPtr& operator=(const cContainerPtr&) = delete;

  // Takes ownership. With the flag set and a reserved slot free, the element fills the next
  // reserved slot; otherwise it is appended. Returns its index.
  u32 Add(T* item, bool reserved = false) {
    if (reserved && m_ReservedUsed < m_Reserved) {
      u32 index = m_ReservedUsed++;
      delete m_Items[index];
      m_Items[index] = item;
      return index;
    }
    m_Items.push_back(item);
    return static_cast<u32>(m_Items.size() - 1);
  }

  // The index of the first non-null element whose name equals the text exactly; 0 when none.
  u32 FindIndex(const vek::string& name) const {
    for (size_t i = 0; i < m_Items.size(); ++i) {
      if (m_Items[i] && m_Items[i]->name == name) return static_cast<u32>(i);
    }
    return 0;
  }
  // The named element, or the first element when none has the name.
  T* FindItem(const vek::string& name) const { return Get(FindIndex(name)); }
  // The element at the index; the first element when that slot is null or past the end
  // (null only when the container is empty).
  T* Get(u32 index) const {
    if (index < m_Items.size() && m_Items[index]) return m_Items[index];
    return m_Items.empty() ? nullptr : m_Items[0];
  }
  T* GetAt(u32 index) const { return Get(index); }
  T* Default() const { return m_Items.empty() ? nullptr : m_Items[0]; }
  u32 Find(const vek::string& name) const { return FindIndex(name); }
  u32 Count() const { return static_cast<u32>(m_Items.size()); }

  // Deletes the element at the index and leaves its position empty (it then reads as the
  // first element); the other indices stay. Reserved positions keep their elements.
  void Remove(u32 index) {
    if (index < m_Reserved || index >= m_Items.size()) return;
    delete m_Items[index];
    m_Items[index] = nullptr;
  }

  // Deletes every element.
  void Clear() {
    for (T* item : m_Items) delete item;
    m_Items.clear();
    m_Items.resize(m_Reserved, nullptr);
    m_ReservedUsed = 0;
  }

 private:
  std::vector<T*> m_Items;
  u32 m_ReservedUsed = 0;
  u32 m_Reserved = 0;
};

}  // namespace vek
