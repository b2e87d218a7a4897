#include "game/world/ware_manager.h"

#include "engine/core/log.h"
#include "engine/render/texture_info.h"

cWareManager* g_pWareManager = nullptr;

cWare::cWare(const vek::string& name, const vek::string& displayName) : m_Name(name), m_DisplayName(displayName) {
  if (m_Name.empty()) return;
  if (!g_pWareManager) {
    vek::LogWarning("cWare", "Ware '%s' made without a ware manager\n", m_Name);
    return;
  }
  g_pWareManager->Register(this);
}

cWareManager::cWareManager() { m_Wares.reserve(20); }

cWareManager::~cWareManager() {
  for (cWare*& w : m_Wares) {
    delete w;
    w = nullptr;
  }
  delete m_pDefaultSort;
  delete m_pDefaultProduct;
}

void cWareManager::Register(cWare* ware) {
  if (!m_pDefaultSort) {
    m_pDefaultSort = ware;
    ware->m_Id = 0;
  } else if (!m_pDefaultProduct) {
    m_pDefaultProduct = ware;
    ware->m_Id = 0;
  } else {
    ware->m_Id = static_cast<vek::i32>(m_Wares.size());
    m_Wares.push_back(ware);
  }
}

namespace {
class cEmptyWare final : public cWare {
 public:
  cEmptyWare() : cWare(cUnregistered{}) {}
};
}  // namespace

const cWare& cWareManager::GetWare(vek::u32 id) const {
  if (id < m_Wares.size()) return *m_Wares[id];
  static const cEmptyWare s_Empty;
  return s_Empty;
}

vek::i32 cWareManager::GetWareId(const vek::string& name) const {
  for (size_t i = 0; i < m_Wares.size(); ++i)
    if (m_Wares[i]->GetName() == name) return static_cast<vek::i32>(i);
  return 1000;
}

cSort& cWareManager::GetSort(vek::u32 id) {
  if (id < m_Wares.size() && m_Wares[id]->GetType() == e_WareTypeSort) return *static_cast<cSort*>(m_Wares[id]);
  return *static_cast<cSort*>(m_pDefaultSort);
}

bool CreateWareManager() {
  if (g_pWareManager) {
    vek::LogText("CreateWareManager", "Ware manager already exists\n");
    return false;
  }
  g_pWareManager = new cWareManager();
  // The two defaults register first and so stay out of the list. Both must be made the way
  // Register expects: the first as a sort, the second as a product.
  new cSort("default", "");
  new cProduct("default", "");
  vek::LogText("CreateWareManager", "Ok\n");
  return true;
}

bool DestroyWareManager() {
  if (!g_pWareManager) {
    vek::LogWarning("DestroyWareManager", "Ware manager does not exist\n");
    return false;
  }
  delete g_pWareManager;
  g_pWareManager = nullptr;
  vek::LogText("DestroyWareManager", "Ok\n");
  return true;
}

bool SetupPlantButton(vek::rectf frames[4], vek::i32* price, vek::u32 id) {
  if (!g_pWareManager || id >= g_pWareManager->GetCount()) return false;
  const cWare& ware = g_pWareManager->GetWare(id);
  if (price) *price = ware.GetPrice();
  const vek::cTextureInfo* sheet = vek::FindTextureInfo("gui_plants");
  if (!sheet || sheet->name != "gui_plants") return false;
  static const char* const kParts[4] = {"normal", "highlight", "push", "disable"};
  const vek::cTextureInfo::cItem* items[4];
  for (int k = 0; k < 4; ++k) {
    const vek::u32 index = sheet->FindIndex(kParts[k]);
    if (index >= sheet->GetCount()) return false;
    items[k] = &sheet->GetByIndex(index);
  }
  const size_t count = items[0]->frames.size();
  if (count == 0) return false;
  for (int k = 1; k < 4; ++k)
    if (items[k]->frames.size() != count) return false;
  static const char* const kTiles[10] = {"plant07", "plant00", "plant02", "plant05", "grass",
                                         "plant01", "plant04", "plant06", "plant03", "flowers"};
  size_t tile = 10;
  for (size_t k = 0; k < 10; ++k)
    if (ware.GetName() == kTiles[k]) tile = k;
  if (tile >= 10 || tile >= count) return false;
  for (int k = 0; k < 4; ++k) frames[k] = items[k]->frames[tile];
  return true;
}

bool ReadWareIdList(std::vector<vek::i32>* ids, vek::cBitStream* stream) {
  if (!stream || !ids) return false;
  ids->clear();
  const vek::i32 count = static_cast<vek::i32>(stream->ReadInt());
  if (count < 1) return true;
  const vek::u32 left = stream->GetByteCount() - static_cast<vek::u32>(stream->GetReadPosition() / 8);
  if (static_cast<vek::u32>(count) > kMaxWareIds || static_cast<vek::u32>(count) > left / 4) {
    vek::LogWarning("ReadWareIdList", "Ware list of %i entries does not fit the %i bytes left\n", count,
                    static_cast<vek::i32>(left));
    return false;
  }
  for (vek::i32 i = 0; i < count; ++i) {
    const vek::i32 id = static_cast<vek::i32>(stream->ReadInt());
    if (id != 1000) ids->push_back(id);
  }
  return true;
}

bool WriteWareIdList(vek::cBitStream* stream, const std::vector<vek::i32>& ids) {
  if (!stream) return false;
  stream->WriteInt(static_cast<vek::u32>(ids.size()));
  for (vek::i32 id : ids) stream->WriteInt(static_cast<vek::u32>(id));
  return true;
}
