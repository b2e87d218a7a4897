// Reads arbitrary bytes as a byte stream, the operations chosen by the stream's own bytes, then
// writes every value read into a second stream and checks that it reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/core/bitstream.h"

namespace {

struct Value {
  int kind;  // 0 byte, 1 int, 2 float (as its bits), 3 string
  std::uint32_t number;
  std::string text;
};

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vek::cBitStream in;
  in.SetData(data, static_cast<vek::u32>(size));
  Check(in.GetSizeInBits() == static_cast<int>(size * 8));

  std::vector<Value> values;
  for (int step = 0; step < 100000 && !in.IsReadEnd(); ++step) {
    int before = in.GetReadPosition();
    Value v{in.ReadByte() % 4, 0, {}};
    switch (v.kind) {
      case 0: v.number = in.ReadByte(); break;
      case 1: v.number = in.ReadInt(); break;
      case 2: {
        float f = in.ReadFloat();
        std::memcpy(&v.number, &f, sizeof(f));
        break;
      }
      default: in.ReadString(v.text); break;
    }
    Check(in.GetReadPosition() > before);
    Check(in.GetReadPosition() <= in.GetSizeInBits());
    Check(v.text.size() <= vek::cBitStream::kMaxString);
    values.push_back(std::move(v));
  }
  // Past the end everything reads as zero and nothing moves.
  int end = in.GetReadPosition();
  std::string text = "x";
  in.ReadString(text);
  Check(in.ReadInt() == 0 && text == "x" && in.GetReadPosition() == end);

  vek::cBitStream out;
  for (const Value& v : values) {
    switch (v.kind) {
      case 0: out.WriteByte(static_cast<std::uint8_t>(v.number)); break;
      case 1: out.WriteInt(v.number); break;
      case 2: {
        float f;
        std::memcpy(&f, &v.number, sizeof(f));
        out.WriteFloat(f);
        break;
      }
      default: out.WriteString(v.text); break;
    }
  }
  Check(out.GetByteCount() == out.GetBytes().size());
  vek::cBitStream back;
  back.SetData(out.GetBytes().data(), out.GetByteCount());
  for (const Value& v : values) {
    switch (v.kind) {
      case 0: Check(back.ReadByte() == v.number); break;
      case 1: Check(back.ReadInt() == v.number); break;
      case 2: {
        float f = back.ReadFloat();
        std::uint32_t bits;
        std::memcpy(&bits, &f, sizeof(f));
        Check(bits == v.number);
        break;
      }
      default: {
        std::string s;
        back.ReadString(s);
        Check(s == v.text);
      }
    }
  }
  Check(back.IsReadEnd());
  return 0;
}
