// Feeds arbitrary bytes to the HTTP reply reader in pieces of varying size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "engine/net/http_reply.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte chooses the piece size, as the network would split the reply.
  std::size_t piece = 1 + data[0] % 64;
  const char* text = reinterpret_cast<const char*>(data + 1);
  std::size_t left = size - 1;
  vek::cHttpReply reply;
  while (left > 0 && reply.Result() == vek::cHttpReply::e_More) {
    std::size_t n = left < piece ? left : piece;
    reply.Feed(text, n);
    text += n;
    left -= n;
  }
  reply.Close();
  if (reply.Body().size() > vek::cHttpReply::kMaxBodyBytes) std::abort();
  return 0;
}
