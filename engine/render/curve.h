#pragma once
// The keyed curves of the 2-D effects (the templates live in engine/core/curve.h, shared with
// the 3-D scene layer) and the 4x4 matrix helpers of the window code.
#include "engine/core/curve.h"
#include "engine/core/types.h"

namespace vek {

// 4x4 row-vector matrices (16 floats, row after row) for the 2-D window code.
// sx, sy, sz, 1 on the diagonal, 0 elsewhere.
inline void MatrixScaling(f32* out, f32 sx, f32 sy, f32 sz) {
  for (int i = 0; i < 16; ++i) out[i] = 0.0f;
  out[0] = sx;
  out[5] = sy;
  out[10] = sz;
  out[15] = 1.0f;
}
// The identity with tx, ty, tz as the first three entries of the fourth row.
inline void MatrixTranslation(f32* out, f32 tx, f32 ty, f32 tz) {
  MatrixScaling(out, 1.0f, 1.0f, 1.0f);
  out[12] = tx;
  out[13] = ty;
  out[14] = tz;
}

}  // namespace vek
