#pragma once
// Wares: everything the garden produces, sells or asks for (plant sorts, factory products,
// animal products), each known elsewhere by its small id; 1000 is no ware. The ware manager
// owns every ware and gives ids in order of creation.
#include <memory>
#include <vector>

#include "engine/core/bitstream.h"
#include "engine/core/geometry.h"
#include "engine/core/types.h"

enum eWareType : vek::u32 {
  e_WareTypeWare = 0x80000000u,
  e_WareTypeSort = 0x80000001u,
  e_WareTypeProduct = 0x80000002u,
};

class cWare {
 public:
  // A ware with a name registers itself with the ware manager (which must exist).
  cWare(const vek::string& name, const vek::string& displayName);
  virtual ~cWare() = default;
  cWare(const cWare&) = delete;
  cWare& operator=(const cWare&) = delete;
  virtual vek::u32 GetType() const { return e_WareTypeWare; }
  virtual vek::i32 SetPrice(vek::i32 price) { return m_Price = price; }

  vek::i32 GetId() const { return m_Id; }
  const vek::string& GetName() const { return m_Name; }
  const vek::string& GetDisplayName() const { return m_DisplayName; }
  vek::i32 GetPrice() const { return m_Price; }

 protected:
  // The shared empty ware of the manager: not registered.
  struct cUnregistered {};
  explicit cWare(cUnregistered) {}

 private:
  friend class cWareManager;
  vek::i32 m_Id = 0;
  vek::string m_Name;
  vek::string m_DisplayName;
  vek::i32 m_Price = 0;
};

class cSort : public cWare {
 public:
  using cWare::cWare;
  vek::u32 GetType() const override { return e_WareTypeSort; }

  std::vector<vek::i32> m_NeedPeriods{0, 0};   // {water, weed}: every n-th plant asks; 0 never
  vek::f32 m_GrowthTime = 3.0f;                // seconds
  std::vector<vek::i32> m_NeedCounters{0, 0};  // running counts shared by the sort's plants
};

class cProduct : public cWare {
 public:
  using cWare::cWare;
  vek::u32 GetType() const override { return e_WareTypeProduct; }
};

class cWareManager {
 public:
  cWareManager();
  virtual ~cWareManager();
  cWareManager(const cWareManager&) = delete;
  cWareManager& operator=(const cWareManager&) = delete;

  // The listed ware; the shared empty ware for any other id.
  const cWare& GetWare(vek::u32 id) const;
  // The id of the first listed ware with exactly this name; 1000 when none.
  vek::i32 GetWareId(const vek::string& name) const;
  // The listed sort; the default sort for any other id or a ware of another class.
  cSort& GetSort(vek::u32 id);
  vek::u32 GetCount() const { return static_cast<vek::u32>(m_Wares.size()); }
  const cSort* GetDefaultSort() const { return static_cast<const cSort*>(m_pDefaultSort); }
  const cProduct* GetDefaultProduct() const { return static_cast<const cProduct*>(m_pDefaultProduct); }

 private:
  friend class cWare;
  friend bool CreateWareManager();
  void Register(cWare* ware);

  std::vector<cWare*> m_Wares;
  // Kept as wares: they register while their own constructors have not yet run.
  cWare* m_pDefaultSort = nullptr;
  cWare* m_pDefaultProduct = nullptr;
};

extern cWareManager* g_pWareManager;

// Makes the singleton and its two defaults; false (with a log line) when it exists.
bool CreateWareManager();
// Deletes it; false (with a warning) when there is none.
bool DestroyWareManager();

// The four frames (normal, highlight, push, disable) of a plant sort's tool-bar button from
// the sheet "gui_plants", and its price (written whenever the id is listed).
bool SetupPlantButton(vek::rectf frames[4], vek::i32* price, vek::u32 id);

// A list of ware ids in a save: a 32-bit count, then the ids. Reading drops the no-ware id
// and refuses (false, list empty) a count larger than the bytes left or than kMaxWareIds.
inline constexpr vek::u32 kMaxWareIds = 4096;
bool ReadWareIdList(std::vector<vek::i32>* ids, vek::cBitStream* stream);
bool WriteWareIdList(vek::cBitStream* stream, const std::vector<vek::i32>& ids);
