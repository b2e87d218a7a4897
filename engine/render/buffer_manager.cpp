#include "engine/render/buffer_manager.h"

#include <cstdint>
#include <cstring>

#include "engine/core/log.h"

namespace vek {

namespace gfx = plat::gfx;

cBufferManager* g_pBufferManager = nullptr;

void CreateBufferManager() {
  if (!g_pBufferManager) g_pBufferManager = new cBufferManager();
}

void DestroyBufferManager() {
  delete g_pBufferManager;
  g_pBufferManager = nullptr;
}

cBufferManager::~cBufferManager() {
  for (cBufferObject* o : m_VertexBuffers) Release(o);
  for (cBufferObject* o : m_IndexBuffers) Release(o);
}

void cBufferManager::Release(cBufferObject* object) {
  cBufferRecord* rec = object->record;
  if (g_pRender) g_pRender->RemoveBuffer(rec);
  delete rec->copy;
  if (rec->buffer) rec->buffer->Release();
  delete rec;
  delete object;
}

cBufferObject* cBufferManager::Create(u32 size, u32 usage, u32 elementSize, bool index) {
  if (!size) return nullptr;
  auto* rec = new cBufferRecord;
  rec->usage = usage;
  rec->size = size;
  auto* object = new cBufferObject{usage, elementSize, rec, size, 0};
  (index ? m_IndexBuffers : m_VertexBuffers).push_back(object);
  if (g_pRender) {
    index ? g_pRender->AddIndexBuffer(rec) : g_pRender->AddVertexBuffer(rec);
    if (g_pRender->GetDevice() && g_pRender->CreateDeviceBuffer(rec, index)) return object;
  }
  // Kept in memory until a device exists.
  rec->copy = new std::vector<u8>(size, 0);
  return object;
}

cBufferObject* cBufferManager::CreateVertexBuffer(u32 size, u32 usage, u32 elementSize) {
  return Create(size, usage, elementSize, false);
}

cBufferObject* cBufferManager::CreateIndexBuffer(u32 size, u32 usage) { return Create(size, usage, 2, true); }

bool cBufferManager::Write(cBufferObject* object, u32 offset, const void* data, u32 bytes) {
  if (!object || !data || offset > object->size || bytes > object->size - offset) return false;
  cBufferRecord* rec = object->record;
  if (rec->buffer) {
    void* p = nullptr;
    if (rec->buffer->Lock(offset, bytes, &p, 0) != gfx::kOk || !p) return false;
    std::memcpy(p, data, bytes);
    rec->buffer->Unlock();
    return true;
  }
  if (!rec->copy) return false;
  std::memcpy(rec->copy->data() + offset, data, bytes);
  return true;
}

bool cBufferManager::Read(const cBufferObject* object, u32 offset, void* out, u32 bytes) const {
  if (!object || !out || offset > object->size || bytes > object->size - offset) return false;
  const cBufferRecord* rec = object->record;
  if (rec->buffer) {
    void* p = nullptr;
    if (rec->buffer->Lock(offset, bytes, &p, gfx::kLockReadOnly) != gfx::kOk || !p) return false;
    std::memcpy(out, p, bytes);
    rec->buffer->Unlock();
    return true;
  }
  if (!rec->copy) return false;
  std::memcpy(out, rec->copy->data() + offset, bytes);
  return true;
}

void cBufferManager::Dump() const {
  const char* const border = "  +-----+-----------+---------+----------+-------+------------+\n";
  auto table = [&](const char* title, const std::vector<cBufferObject*>& list) {
    LogPlain(title);
    LogPlain(border);
    LogPlain("  |  N  |   address |   usage | size(kb) | vf(b) | offset(kb) |\n");
    LogPlain(border);
    u64 total = 0;
    int n = 1;
    for (const cBufferObject* o : list) {
      LogPlain("  | %3i | 0x%X | %7s | %8i | %5i | %10i |\n", n++,
               static_cast<u32>(reinterpret_cast<std::uintptr_t>(o->record)),
               (o->usage & gfx::kUsageDynamic) ? "dynamic" : "static", o->size >> 10, o->elementSize,
               o->offset >> 10);
      total += o->size;
    }
    LogPlain(border);
    LogPlain("  Total size: %i kb\n", static_cast<int>(total >> 10));
  };
  table("Vertex Buffer Objects.\n", m_VertexBuffers);
  table("Index Buffer Objects.\n", m_IndexBuffers);
}

}  // namespace vek
