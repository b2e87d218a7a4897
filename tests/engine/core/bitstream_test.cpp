#include "engine/core/bitstream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using vek::cBitStream;
using Bytes = std::vector<vek::u8>;

cBitStream FromBytes(const Bytes& bytes) {
  cBitStream s;
  s.SetData(bytes.data(), static_cast<vek::u32>(bytes.size()));
  return s;
}

TEST(BitStreamTest, EncodingVectors) {
  struct Case {
    const char* what;
    void (*write)(cBitStream&);
    Bytes bytes;
  } cases[] = {
      {"int", [](cBitStream& s) { s.WriteInt(0x01020304u); }, {0x04, 0x03, 0x02, 0x01}},
      {"negative int", [](cBitStream& s) { s.WriteInt(static_cast<vek::u32>(-2)); },
       {0xFE, 0xFF, 0xFF, 0xFF}},
      {"float", [](cBitStream& s) { s.WriteFloat(1.0f); }, {0x00, 0x00, 0x80, 0x3F}},
      {"string", [](cBitStream& s) { s.WriteString("abc"); }, {0x03, 0x00, 'a', 'b', 'c'}},
      {"empty string", [](cBitStream& s) { s.WriteString(""); }, {0x00, 0x00}},
      {"byte", [](cBitStream& s) { s.WriteByte(0x7F); }, {0x7F}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    cBitStream s;
    c.write(s);
    EXPECT_EQ(s.GetBytes(), c.bytes);
    EXPECT_EQ(s.GetSizeInBits(), static_cast<int>(c.bytes.size() * 8));
    EXPECT_EQ(s.GetWritePosition(), s.GetSizeInBits());
    EXPECT_EQ(s.GetByteCount(), c.bytes.size());
  }
}

TEST(BitStreamTest, RoundTrip) {
  cBitStream out;
  std::string latin("caf\xe9 \x80", 6);  // windows-1252 bytes travel unchanged
  out.WriteInt(0x01020304u);
  out.WriteInt(0xFFFFFFFFu);
  out.WriteFloat(-3.25f);
  out.WriteString(latin);
  out.WriteString("");
  out.WriteByte(200);
  out.WriteString(std::string(32767, 'z'));

  cBitStream in = FromBytes(out.GetBytes());
  EXPECT_EQ(in.GetReadPosition(), 0);
  EXPECT_EQ(in.ReadInt(), 0x01020304u);
  EXPECT_EQ(in.ReadInt(), 0xFFFFFFFFu);
  EXPECT_EQ(in.ReadFloat(), -3.25f);
  // A read appends to the text it is given.
  std::string text = "old";
  in.ReadString(text);
  EXPECT_EQ(text, "old" + latin);
  in.ReadString(text);
  EXPECT_EQ(text, "old" + latin);
  EXPECT_EQ(in.ReadByte(), 200);
  text.clear();
  in.ReadString(text);
  EXPECT_EQ(text, std::string(32767, 'z'));
  EXPECT_TRUE(in.IsReadEnd());
}

TEST(BitStreamTest, OverlongStringsAreCutWithAConsistentLength) {
  cBitStream out;
  std::string longText(40000, 'q');
  longText[32766] = 'L';
  out.WriteString(longText);
  out.WriteInt(0xCAFEBABEu);  // what follows must still read back
  EXPECT_EQ(out.GetBytes().size(), 2u + 32767u + 4u);

  cBitStream in = FromBytes(out.GetBytes());
  std::string text;
  in.ReadString(text);
  EXPECT_EQ(text.size(), 32767u);
  EXPECT_EQ(text.back(), 'L');
  EXPECT_EQ(in.ReadInt(), 0xCAFEBABEu);
}

TEST(BitStreamTest, ReadsPastTheEndStopThere) {
  cBitStream empty;
  EXPECT_EQ(empty.ReadByte(), 0);
  EXPECT_EQ(empty.GetReadPosition(), 0);
  EXPECT_EQ(empty.ReadInt(), 0u);
  EXPECT_EQ(empty.ReadFloat(), 0.0f);
  std::string text = "x";
  empty.ReadString(text);
  EXPECT_EQ(text, "x");  // nothing read, nothing appended
  text.clear();

  // Three bytes: the integer gets them and zeros above, the position stops at the end.
  cBitStream three = FromBytes({0x11, 0x22, 0x33});
  EXPECT_EQ(three.ReadInt(), 0x332211u);
  EXPECT_EQ(three.GetReadPosition(), 24);

  // A string cut short by the end gives the bytes that are there.
  cBitStream cut = FromBytes({0x0A, 0x00, 'a', 'b', 'c'});
  cut.ReadString(text);
  EXPECT_EQ(text, "abc");
  EXPECT_TRUE(cut.IsReadEnd());

  // A stored length of 0x8000 or more reads as negative: empty, only the length consumed.
  for (Bytes bytes : {Bytes{0x00, 0x80, 'a', 'b'}, Bytes{0xFF, 0xFF, 'a', 'b'}}) {
    cBitStream big = FromBytes(bytes);
    text.clear();
    big.ReadString(text);
    EXPECT_EQ(text, "");
    EXPECT_EQ(big.GetReadPosition(), 16);
    EXPECT_EQ(big.ReadByte(), 'a');
  }
}

TEST(BitStreamTest, SetDataReplacesTheBytesButNotTheWritePosition) {
  cBitStream s;
  s.WriteInt(1);
  s.WriteInt(2);
  const vek::u8 block[] = {9, 8};
  s.SetData(block, 2);
  EXPECT_EQ(s.GetSizeInBits(), 16);
  EXPECT_EQ(s.GetReadPosition(), 0);
  EXPECT_EQ(s.GetWritePosition(), 64);
  EXPECT_EQ(s.ReadByte(), 9);
  // Writing appends; the byte count a writer takes never exceeds the bytes held.
  s.WriteByte(7);
  EXPECT_EQ(s.GetBytes(), (Bytes{9, 8, 7}));
  EXPECT_EQ(s.GetSizeInBits(), 72);
  EXPECT_EQ(s.GetByteCount(), 3u);

  s.SetData(nullptr, 5);
  EXPECT_TRUE(s.GetBytes().empty());
  EXPECT_EQ(s.GetSizeInBits(), 0);
}

}  // namespace
