#pragma once
// The byte stream of every binary save file: values are written one byte at a time into a
// memory buffer and read back the same way. Integers and floats are 4 bytes, lowest first;
// a string is a 16-bit length (lowest byte first) and that many bytes, no terminator.
// Reading past the end gives zero bytes and never moves outside the buffer.
#include <vector>

#include "engine/core/types.h"

namespace vek {

class cBitStream {
 public:
  // The size in bits is a signed 32-bit number: a stream holds at most this many bytes.
  static constexpr u32 kMaxBytes = 0x0FFFFFFFu;
  // The longest string the format holds (its length is read back as a signed 16-bit value).
  static constexpr u32 kMaxString = 32767;

  // Appends a byte (nothing once the stream holds kMaxBytes).
  void WriteByte(u8 b);
  void WriteInt(u32 v);
  void WriteFloat(f32 v);
  // The length, then the bytes; a longer text is cut to kMaxString bytes, length included.
  void WriteString(const vek::string& text);

  // Replaces the bytes with a copy of the block (at most kMaxBytes); the size in bits
  // becomes count x 8 and the read position 0. The write position is left as it was.
  void SetData(const void* data, u32 count);

  // The byte at the read position, or 0 at the end (the position then stays).
  u8 ReadByte();
  u32 ReadInt();
  f32 ReadFloat();
  // Replaces the text with the stored string: a length of 0 or below (a stored value of
  // 0x8000 or more) gives the empty text; a string cut short by the end of the data gives
  // the bytes that are there.
  void ReadString(vek::string& text);

  const std::vector<u8>& GetBytes() const { return m_Bytes; }
  i32 GetSizeInBits() const { return m_SizeBits; }
  i32 GetReadPosition() const { return m_ReadPos; }
  i32 GetWritePosition() const { return m_WritePos; }
  // The bytes a writer stores: (size in bits + 7) / 8, never more than the stream holds.
  u32 GetByteCount() const;
  // Whether the read position has reached the end of the bytes.
  bool IsReadEnd() const;

 private:
  std::vector<u8> m_Bytes;
  i32 m_SizeBits = 0;
  i32 m_ReadPos = 0;
  i32 m_WritePos = 0;
};

}  // namespace vek
