#pragma once
// The buffer manager: the engine's vertex and index buffer objects, device buffers with a
// copy of their bytes while the device is away, listed for the engine dump and released at
// shut-down.
#include <vector>

#include "engine/core/types.h"
#include "engine/render/render.h"

namespace vek {

struct cBufferObject {
  u32 usage = 0;        // plat::gfx::kUsageDynamic marks a dynamic buffer
  u32 elementSize = 0;  // the vertex stride of a vertex buffer
  cBufferRecord* record = nullptr;
  u32 size = 0;
  u32 offset = 0;
};

class cBufferManager {
 public:
  cBufferManager() = default;
  // Releases every buffer object (vertex buffers first).
  ~cBufferManager();
  cBufferManager(const cBufferManager&) = delete;
  cBufferManager& operator=(const cBufferManager&) = delete;

  // A buffer object of size bytes, zero-filled, on the device when one exists (else made
  // there when the device comes). Dynamic buffers live in the device's default pool and
  // lose their contents with the device.
  cBufferObject* CreateVertexBuffer(u32 size, u32 usage, u32 elementSize);
  cBufferObject* CreateIndexBuffer(u32 size, u32 usage);
  // Bytes into and out of a buffer object; false when the range is outside it or the
  // device refuses the lock.
  bool Write(cBufferObject* object, u32 offset, const void* data, u32 bytes);
  bool Read(const cBufferObject* object, u32 offset, void* out, u32 bytes) const;

  // The "Vertex Buffer Objects." and "Index Buffer Objects." tables.
  void Dump() const;

  const std::vector<cBufferObject*>& GetVertexBuffers() const { return m_VertexBuffers; }
  const std::vector<cBufferObject*>& GetIndexBuffers() const { return m_IndexBuffers; }

 private:
  cBufferObject* Create(u32 size, u32 usage, u32 elementSize, bool index);
  void Release(cBufferObject* object);

  std::vector<cBufferObject*> m_VertexBuffers;
  std::vector<cBufferObject*> m_IndexBuffers;
};

extern cBufferManager* g_pBufferManager;
void CreateBufferManager();
void DestroyBufferManager();

}  // namespace vek
