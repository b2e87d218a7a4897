#include "engine/core/bitstream.h"

#include <cstring>

namespace vek {

void cBitStream::WriteByte(u8 b) {
  if (m_Bytes.size() >= kMaxBytes) return;
  int o = m_WritePos % 8;
  if (o == 0 || m_Bytes.empty()) {
    m_Bytes.push_back(b);
  } else {
    // Bits fill each byte from its lowest bit upwards.
    m_Bytes.back() = static_cast<u8>(m_Bytes.back() | static_cast<u8>(b << o));
    m_Bytes.push_back(static_cast<u8>(b >> (8 - o)));
  }
  m_WritePos += 8;
  if (m_WritePos > m_SizeBits) m_SizeBits = m_WritePos;
}

void cBitStream::WriteInt(u32 v) {
  WriteByte(static_cast<u8>(v));
  WriteByte(static_cast<u8>(v >> 8));
  WriteByte(static_cast<u8>(v >> 16));
  WriteByte(static_cast<u8>(v >> 24));
}

void cBitStream::WriteFloat(f32 v) {
  u32 bits;
  std::memcpy(&bits, &v, sizeof(bits));
  WriteInt(bits);
}

void cBitStream::WriteString(const vek::string& text) {
  u32 length = text.size() > kMaxString ? kMaxString : static_cast<u32>(text.size());
  WriteByte(static_cast<u8>(length));
  WriteByte(static_cast<u8>(length >> 8));
  for (u32 i = 0; i < length; ++i) WriteByte(static_cast<u8>(text[i]));
}

void cBitStream::SetData(const void* data, u32 count) {
  if (!data) count = 0;
  if (count > kMaxBytes) count = kMaxBytes;
  const u8* bytes = static_cast<const u8*>(data);
  m_Bytes.assign(bytes, bytes + count);
  m_SizeBits = static_cast<i32>(count * 8);
  m_ReadPos = 0;
}

u8 cBitStream::ReadByte() {
  if (IsReadEnd()) return 0;
  size_t index = static_cast<size_t>(m_ReadPos / 8);
  int o = m_ReadPos % 8;
  u8 b = m_Bytes[index];
  if (o > 0) {
    // IsReadEnd tested the rounded-up position, so the next byte exists.
    b = static_cast<u8>((b >> o) | (m_Bytes[index + 1] << (8 - o)));
  }
  m_ReadPos += 8;
  return b;
}

u32 cBitStream::ReadInt() {
  u32 b0 = ReadByte();
  u32 b1 = ReadByte();
  u32 b2 = ReadByte();
  u32 b3 = ReadByte();
  return b0 | b1 << 8 | b2 << 16 | b3 << 24;
}

f32 cBitStream::ReadFloat() {
  u32 bits = ReadInt();
  f32 v;
  std::memcpy(&v, &bits, sizeof(v));
  return v;
}

// Appends to the caller's text: a caller collecting several strings passes the same one.
void cBitStream::ReadString(vek::string& text) {
  u32 lo = ReadByte();
  u32 hi = ReadByte();
  i32 length = static_cast<int16_t>(static_cast<u16>(lo | hi << 8));
  for (i32 i = 0; i < length && !IsReadEnd(); ++i) text += static_cast<char>(ReadByte());
}

u32 cBitStream::GetByteCount() const {
  u32 count = static_cast<u32>((static_cast<i64>(m_SizeBits) + 7) / 8);
  return count < m_Bytes.size() ? count : static_cast<u32>(m_Bytes.size());
}

bool cBitStream::IsReadEnd() const {
  return static_cast<size_t>((m_ReadPos + 7) / 8) >= m_Bytes.size();
}

}  // namespace vek
