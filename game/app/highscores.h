#pragma once
// A row of the high-score table. The concrete game supplies the row type through the
// application's row factory; this game supplies none.
#include "engine/core/types.h"

namespace vek {
class cBitStream;
}

class cHighscoreRow {
 public:
  virtual ~cHighscoreRow() = default;
  // True when this row sorts before `other` in ascending order (worse first).
  virtual bool IsLess(const cHighscoreRow& other) const = 0;
  // Reads the next row from the front of a decoded server reply, consuming it; false when
  // no row is left.
  virtual bool ParseText(vek::string& text) = 0;
  virtual bool Read(vek::cBitStream& stream) = 0;
  virtual void AppendUploadText(vek::string& text) const = 0;
  virtual void Write(vek::cBitStream& stream) const = 0;
  virtual vek::string GetText() const = 0;
};
