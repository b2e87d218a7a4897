#pragma once
// Basic value types shared by the whole engine.
#include <cstdint>
#include <string>
#include <vector>

namespace vek {

// The engine's text string: a plain narrow string holding windows-1252 text.
using string = std::string;

using u8 = std::uint8_t;
using u16 = std::uint16_t;
using u32 = std::uint32_t;
using u64 = std::uint64_t;
using i32 = std::int32_t;
using i64 = std::int64_t;
using f32 = float;
using f64 = double;

}  // namespace vek
