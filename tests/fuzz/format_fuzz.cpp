// Formats arbitrary format texts (as locale texts from data files may hold) with records of
// every type, and writes both the format and the result through the HTML log writer.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

#include "engine/core/format.h"
#include "engine/core/log.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static std::FILE* sink = std::fopen("/dev/null", "w");
  static vek::cLogFile file;
  static bool attached = false;
  if (!attached && sink) {
    file.Attach(sink);
    attached = true;
  }

  const std::string format(reinterpret_cast<const char*>(data), size);
  const std::string text = "abc";
  vek::string out = vek::Formatted(format.c_str(), -42, 1.5e-300, text, vek::FormatArg::Char('x'),
                                   -std::numeric_limits<double>::infinity(), 2147483647, 123456789012345.678);
  vek::AppendFormat(out, format.c_str(), 0.0, vek::g_NoArg, "", -2147483647 - 1);
  file.WriteHtml(format.c_str());
  file.WriteHtml(out.c_str());
  return 0;
}
