#pragma once
// The owning list of object pointers with stable integer handles. Objects stay in creation
// order in a linked list; an id indexes a vector of list positions, so finding and removing by
// id take constant time and ids stay valid while others come and go. The first element is
// special: it answers every id that names nothing, and Clear keeps it.
#include <list>
#include <vector>

#include "engine/core/types.h"

namespace vek {

template <class T>
class vlist_ptr {
  using list_type = std::list<T*>;

 public:
  using iterator = typename list_type::iterator;

  vlist_ptr() = default;
  vlist_ptr(const vlist_ptr&) = delete;
  vlist_ptr& operator=(const vlist_ptr&) = delete;
  virtual ~vlist_ptr() {
    Clear();
    if (!m_List.empty()) {
      T* first = m_List.front();
      m_List.clear();
      m_bClearing = true;  // the first object's destructor must not touch the list
      delete first;
      m_bClearing = false;
    }
    m_Index.clear();
  }

  // Appends the object and returns its id (ids count up from 0 and are never reused before a clear).
  u32 Add(T* object) {
    m_List.push_back(object);
    const u32 id = m_NextId;
    if (id < m_Index.size()) m_Index[id] = std::prev(m_List.end());
    else m_Index.push_back(std::prev(m_List.end()));
    m_NextId = id + 1;
    return id;
  }

  // Unlinks the object with the id (its caller is destroying it); removed ids, the first
  // element's id and unknown ids are ignored, and so is everything while clearing.
  void Remove(u32 id) {
    if (m_bClearing || m_List.empty() || id >= m_NextId || id >= m_Index.size()) return;
    if (m_Index[id] == m_List.begin()) return;
    m_List.erase(m_Index[id]);
    m_Index[id] = m_List.begin();
  }

  // The object with the id; the first element's object for an unknown or removed id; null when empty.
  T* Find(u32 id) const {
    if (m_List.empty()) return nullptr;
    if (id >= m_NextId || id >= m_Index.size() || m_Index[id] == m_List.begin()) return m_List.front();
    return *m_Index[id];
  }
  bool IsValid(u32 id) const { return Find(id) != (m_List.empty() ? nullptr : m_List.front()); }

  // Deletes every object but the first; the next id becomes 1.
  void Clear() {
    if (m_List.empty()) return;
    m_bClearing = true;
    auto it = std::next(m_List.begin());
    while (it != m_List.end()) {
      T* object = *it;
      it = m_List.erase(it);
      delete object;
    }
    m_Index.resize(1);
    m_Index[0] = m_List.begin();
    m_NextId = 1;
    m_bClearing = false;
  }

  T* First() const { return m_List.empty() ? nullptr : m_List.front(); }
  bool IsClearing() const { return m_bClearing; }
  u32 GetNextId() const { return m_NextId; }
  size_t Size() const { return m_List.size(); }

  iterator begin() { return m_List.begin(); }
  iterator end() { return m_List.end(); }

 private:
  list_type m_List;
  std::vector<iterator> m_Index;
  u32 m_NextId = 0;
  bool m_bClearing = false;
};

}  // namespace vek
