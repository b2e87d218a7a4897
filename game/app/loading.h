#pragma once
// The loading queue: load items made by the script "{StaticPath}/conf/loading.lua" join the
// queue of the one loading widget, which loads them one at a time, shows each file's path and
// the progress in the window "loading", and tells the application once when the queue is
// empty.
#include <list>

#include "engine/files/filename.h"
#include "engine/core/types.h"
#include "engine/gui/widget.h"

namespace vek {
class cCtrl;
}
class cMiddle;

class cLoadData {
 public:
  // Joins the loading widget's queue, which owns the item from then on. Without a loading
  // widget, or after loading has ended, the item is refused: the script that made it gets an
  // error and the item is deleted.
  cLoadData(const vek::string& path, bool reserved);
  virtual ~cLoadData() = default;
  cLoadData(const cLoadData&) = delete;
  cLoadData& operator=(const cLoadData&) = delete;
  virtual void Load() {}

  const vek::filename& GetFile() const { return m_File; }
  bool IsReserved() const { return m_bReserved; }

 protected:
  vek::filename m_File;
  bool m_bReserved = false;
};

class cLoadTexture : public cLoadData {
 public:
  explicit cLoadTexture(const vek::string& path) : cLoadData(path, false) {}
  void Load() override;
  virtual void SetParameters(vek::i32 value) { m_Parameters = value; }
  vek::i32 m_Parameters = 0;
};

// A picture that few runs show: there by name at once, read when first drawn.
class cLoadTextureOnUse : public cLoadData {
 public:
  explicit cLoadTextureOnUse(const vek::string& path) : cLoadData(path, false) {}
  void Load() override;
};

class cLoadFont : public cLoadData {
 public:
  explicit cLoadFont(const vek::string& path) : cLoadData(path, false) {}
  void Load() override;
};

class cLoadSound : public cLoadData {
 public:
  cLoadSound(const vek::string& path, bool reserved) : cLoadData(path, reserved) {}
  void Load() override;
  // Simultaneous playbacks of the sample.
  virtual void SetParameters(vek::u32 value) { m_Parameters = value; }
  vek::u32 m_Parameters = 0;
};

class cLoadMusic : public cLoadData {
 public:
  cLoadMusic(const vek::string& path, bool reserved) : cLoadData(path, reserved) {}
  // A music under its own name that plays the module from `start` to `end`.
  cLoadMusic(const vek::string& name, const vek::string& path, vek::i32 start, vek::i32 end, bool reserved)
      : cLoadData(path, reserved), m_Name(name), m_Start(start), m_End(end) {}
  void Load() override;
  vek::string m_Name;
  vek::i32 m_Start = 0, m_End = 0;
};

class cLoadStream : public cLoadData {
 public:
  cLoadStream(const vek::string& path, bool reserved) : cLoadData(path, reserved) {}
  void Load() override;
};

class cLoadingWidget : public vek::cWidget {
 public:
  explicit cLoadingWidget(cMiddle* owner);
  ~cLoadingWidget() override;

  void Render() override;
  void Update(vek::f32 seconds) override;
  // Activation: shows the window "loading" and runs loading.lua.
  void Activate() override;
  void Deactivate() override;
  virtual void Add(cLoadData* item);

  size_t GetQueueSize() const { return m_Queue.size(); }
  const std::list<cLoadData*>& GetQueue() const { return m_Queue; }
  vek::f32 GetDone() const { return m_Done; }
  vek::f32 GetTotal() const { return m_Total; }
  // True once the queue has run empty and the application was told.
  bool IsFinished() const { return m_bFinished; }
  // The application is going away before the widget.
  void Detach() { m_pOwner = nullptr; }

 private:
  cMiddle* m_pOwner;
  std::list<cLoadData*> m_Queue;
  vek::cCtrl* m_pProgress = nullptr;
  vek::cCtrl* m_pLabel = nullptr;
  vek::f32 m_Done = 0.0f;
  vek::f32 m_Total = 0.0f;
  bool m_bPending = true;
  bool m_bFinished = false;
};

// The registered loading widget; null while none exists.
cLoadingWidget* GetLoadingWidget();
// The item being loaded; null between items.
cLoadData* GetItemBeingLoaded();
