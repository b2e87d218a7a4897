#pragma once
// The engine's whole-file loaders and savers. Every operation opens its file through cFile,
// so reads work alike for loose files and for members of zip archives; writes go to loose
// files only. The operations report through cResult and never log by themselves: their
// callers do.
#include "engine/core/types.h"
#include "engine/files/filename.h"

namespace vek {

class cBitStream;
class cImage;

class cDataManager {
 public:
  enum cResult : u32 {
    Ok = 0,
    Stop = 1,           // not produced by the file helpers
    FileNotFound = 2,   // the file could not be opened or created
    InternalError = 3,  // empty, unreadable or unwritable file, or an unknown image extension
    NoOutput = 4,       // no output object was given (no script-visible name)
  };

  // Files larger than this are refused by the whole-file loaders.
  static constexpr u32 kMaxFileBytes = 0x0FFFFFFFu;

  virtual ~cDataManager() = default;

  // The whole file as text ("rt"), up to its first zero byte. An empty file is an
  // InternalError and leaves the text unchanged.
  static cResult ReadText(vek::string* text, const filename& name);
  // The whole file ("rb") into the stream (read position 0).
  static cResult ReadBinary(cBitStream* stream, const filename& name);
  // The stream's bytes as the whole file (WriteWhole).
  static cResult WriteBinary(const cBitStream* stream, const filename& name);
  // The engine's one way to replace a file: the bytes go to a temporary file beside the target
  // ("<name>.<ext>.tmp"), which is flushed and synced to disk and then renamed over the target,
  // so the previous copy survives any failure. The temporary is always made new and exclusive
  // (plat::CreateNewFile): an entry already of its name - a stale temporary, a FIFO, a link
  // planted there - is removed, never opened, followed or given new permissions; the target's
  // name is replaced by the rename, so a link there is replaced, not written through.
  // FileNotFound when the temporary cannot be created (a folder missing, a folder of the
  // temporary's name, an archive path); a failed write, flush, close or rename (a folder in
  // the target's place) is an InternalError. On failure only the temporary is removed: the
  // target stays as it was.
  static cResult WriteWhole(const filename& name, const void* data, u32 size);
  // Reads an image with the reader its extension names ("png", "jpg", "bmp", "dds", compared
  // exactly); any other extension is an InternalError. The result is the reader's.
  static u32 ReadImage(const filename& name, cImage* image);

  // Sound files (data_manager_sound.cpp). A sample record asks for a number of simultaneous
  // playbacks (limited to 1..20); a stream record receives the file data the stream plays
  // from, which the caller keeps as long as the stream lives.
  struct cSampleRecord {
    u32 handle = 0;
    u32 maxPlaybacks = 1;
  };
  struct cModuleRecord {
    u32 handle = 0;
  };
  struct cStreamRecord {
    u32 handle = 0;
    u8* data = nullptr;
  };
  static cResult ReadSoundBuffer(const filename& name, cSampleRecord* record);
  static cResult ReadMusicBuffer(const filename& name, cModuleRecord* record);
  static cResult ReadStreamBuffer(const filename& name, cStreamRecord* record);
  // Decodes the sound file at `source` (a path handed to the audio library as it is) and
  // writes it as 16-bit PCM WAV; Ok, or NoOutput on any failure.
  static cResult WriteWAV(const vek::string& source, const filename& destination, bool mono);
};

}  // namespace vek
