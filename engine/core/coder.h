#pragma once
// Codes a text by a configured chain of simple algorithms over its bytes and back:
// "base64" and "xor(n)" with a key byte n in 1..255, separated by blanks.
#include <vector>

#include "engine/core/types.h"

namespace vek {

class cCoder {
 public:
  // Splits the chain at blanks; an empty or invalid chain warns and codes nothing.
  explicit cCoder(const vek::string& chain);
  virtual ~cCoder() = default;

  // Applies the chain in order; false (text unchanged) when an entry is not valid.
  bool Encode(vek::string& text) const;
  // Applies each entry's inverse from the last to the first.
  bool Decode(vek::string& text) const;

  const std::vector<vek::string>& GetChain() const { return m_Chain; }

  static bool IsValidEntry(const vek::string& entry);
  static vek::string Base64Encode(const vek::string& data);
  static vek::string Base64Decode(const vek::string& text);

 private:
  std::vector<vek::string> m_Chain;
};

}  // namespace vek
