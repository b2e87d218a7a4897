#pragma once
// Keyed curves: points at sorted parameters (a time or a distance), evaluated as steps
// (curve), with an end behaviour (curve_Spline) or as a uniform Catmull-Rom spline through
// the keys (curve_CatmullRomSpline). T is a point type with +, - and scaling by a float whose
// default value is the zero vector (vec2 for the 2-D effects, vec3 for the 3-D scene).
#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/core/types.h"
#include "engine/core/vec.h"

namespace vek {

template <class T>
class curve {
 public:
  curve() = default;
  virtual ~curve() = default;
  curve(const curve&) = default;
  curve& operator=(const curve&) = default;

  // Inserts the key where the segment search puts its parameter: keys stay sorted, and a key
  // whose parameter equals an existing one goes before it.
  virtual void AddKey(const T& key, f32 t) {
    const i32 at = FindSegment(t);
    m_Params.insert(m_Params.begin() + at, t);
    m_Keys.insert(m_Keys.begin() + at, key);
  }
  // Removes key i and its parameter; an index outside the keys changes nothing.
  virtual void RemoveKey(u32 i) {
    if (i >= m_Keys.size()) return;
    m_Params.erase(m_Params.begin() + i);
    m_Keys.erase(m_Keys.begin() + i);
  }
  virtual void Clear() {
    m_Params.clear();
    m_Keys.clear();
    m_Segment = -1;
    m_bChanged = true;
  }
  // A step curve: the key of the segment (the last key past the end); no keys give zero.
  virtual T GetPosition(f32 t) {
    if (m_Keys.empty()) return T();
    const u32 u = static_cast<u32>(FindSegment(t));
    return m_Keys[std::min<u32>(u, static_cast<u32>(m_Keys.size()) - 1)];
  }
  virtual T GetDerivative(f32) { return T(); }
  virtual T GetSecondDerivative(f32) { return T(); }
  // Whether t lies beyond the last key; a curve without keys has nothing left to follow.
  virtual bool IsPastEnd(f32 t) {
    if (m_Params.empty()) return true;
    return t > m_Params.back();
  }
  // Whether t has reached the last key (the 3-D camera paths stop there); true without keys.
  virtual bool IsEnd(f32 t) {
    if (m_Params.empty()) return true;
    return t >= m_Params.back();
  }

  // Spreads the parameters evenly over [0, end]; a single key gets 0.
  void Reparametrize(f32 end) {
    const size_t n = m_Params.size();
    for (size_t i = 0; i < n; ++i)
      m_Params[i] = n > 1 ? static_cast<f32>(i) * end / static_cast<f32>(n - 1) : 0.0f;
    m_bChanged = true;
  }

  // The number of parameters below t (0..key count): segment u runs from key u - 1 to key u.
  // The previous result is tried first, then its successor, so walking along the curve costs
  // no search; the answer never depends on the cached value.
  i32 FindSegment(f32 t) {
    const i32 n = static_cast<i32>(m_Params.size());
    const i32 c = m_Segment;
    i32 u = -1;
    if (n > 0 && c >= 0 && c <= n) {
      const f32* p = m_Params.data();
      if (c == 0 && t <= p[0]) u = 0;
      else if (c == n && p[n - 1] < t) u = n;
      else if (c > 0 && c < n && p[c - 1] < t && t <= p[c]) u = c;
      else if (c < n && p[c] < t && (c + 1 == n || t <= p[c + 1])) u = c + 1;
    }
    if (u < 0)
      u = static_cast<i32>(std::lower_bound(m_Params.begin(), m_Params.end(), t) - m_Params.begin());
    m_Segment = u;
    return u;
  }

  u32 GetKeyCount() const { return static_cast<u32>(m_Keys.size()); }
  const T& GetKey(u32 i) const { return m_Keys[i]; }
  f32 GetParam(u32 i) const { return m_Params[i]; }
  const std::vector<T>& GetKeys() const { return m_Keys; }
  const std::vector<f32>& GetParams() const { return m_Params; }
  bool IsChanged() const { return m_bChanged; }

 protected:
  std::vector<f32> m_Params;
  std::vector<T> m_Keys;
  i32 m_Segment = -1;
  bool m_bChanged = false;
};

template <class T>
class curve_Spline : public curve<T> {
 public:
  enum : u32 { e_Open = 0, e_Clamped = 1, e_Closed = 2 };

  bool IsPastEnd(f32 t) override { return m_Mode == e_Closed ? false : curve<T>::IsPastEnd(t); }
  bool IsEnd(f32 t) override { return m_Mode == e_Closed ? false : curve<T>::IsEnd(t); }
  virtual void SetMode(u32 mode) {
    m_Mode = mode;
    this->m_bChanged = true;
  }
  virtual u32 GetMode() const { return m_Mode; }
  virtual void SetClosingSpan(f32 span) {
    m_ClosingSpan = span;
    this->m_bChanged = true;
  }
  virtual f32 GetClosingSpan() const { return m_Mode == e_Closed ? m_ClosingSpan : 0.0f; }

 protected:
  // The parameter of key i for any integer i: the keys themselves inside, a periodic
  // continuation in closed mode (period = last parameter + closing span), else the first or
  // last step continued in a straight line. Needs at least one key.
  f32 ExtParam(i32 i) const {
    const std::vector<f32>& p = this->m_Params;
    const i32 n = static_cast<i32>(p.size());
    if (i >= 0 && i < n) return p[i];
    if (m_Mode == e_Closed) {
      const i32 m = Wrap(i, n);
      const i32 periods = (i - m) / n;  // exact: i - m is a multiple of n
      return p[m] + static_cast<f32>(periods) * (p[n - 1] + m_ClosingSpan);
    }
    if (n < 2) return p[0];
    if (i < 0) return p[0] + static_cast<f32>(i) * (p[1] - p[0]);
    return p[n - 1] + static_cast<f32>(i - (n - 1)) * (p[n - 1] - p[n - 2]);
  }
  // The key of any integer index, continued as the parameters are.
  T ExtKey(i32 i) const {
    const std::vector<T>& k = this->m_Keys;
    const i32 n = static_cast<i32>(k.size());
    if (i >= 0 && i < n) return k[i];
    if (m_Mode == e_Closed) return k[Wrap(i, n)];
    if (n < 2) return k[0];
    if (i < 0) return k[0] + (k[1] - k[0]) * static_cast<f32>(i);
    return k[n - 1] + (k[n - 1] - k[n - 2]) * static_cast<f32>(i - (n - 1));
  }
  // i modulo n in 0..n - 1, for negative i too.
  static i32 Wrap(i32 i, i32 n) {
    const i32 r = i % n;
    return r < 0 ? r + n : r;
  }

  u32 m_Mode = e_Open;
  f32 m_ClosingSpan = 0.0f;
};

template <class T>
class curve_CatmullRomSpline : public curve_Spline<T> {
 public:
  T GetPosition(f32 t) override { return Evaluate(t, 0); }
  T GetDerivative(f32 t) override { return Evaluate(t, 1); }
  T GetSecondDerivative(f32 t) override { return Evaluate(t, 2); }

 private:
  // The position (order 0) or the first or second derivative by t.
  T Evaluate(f32 t, int order) {
    const std::vector<f32>& p = this->m_Params;
    const size_t n = p.size();
    if (n == 0) return T();
    if (n == 1) return order == 0 ? this->m_Keys[0] : T();
    if (this->m_Mode == curve_Spline<T>::e_Clamped) t = std::clamp(t, p[0], p[n - 1]);

    const i32 u = this->FindSegment(t);
    const f32 t0 = this->ExtParam(u - 1);
    const f32 span = this->ExtParam(u) - t0;
    f32 s;
    if (span != 0.0f && std::isfinite(span)) {
      s = (t - t0) / span;
    } else {
      // A segment of zero length (equal parameters at an end, or a closing span that cancels
      // out): stay on the key of the segment that lies inside the key list.
      if (order != 0) return T();
      s = u == 0 ? 1.0f : 0.0f;
    }

    f32 w[4];
    const f32 s2 = s * s, s3 = s2 * s;
    if (order == 0) {
      w[0] = (-s3 + 2.0f * s2 - s) * 0.5f;
      w[1] = (3.0f * s3 - 5.0f * s2 + 2.0f) * 0.5f;
      w[2] = (-3.0f * s3 + 4.0f * s2 + s) * 0.5f;
      w[3] = (s3 - s2) * 0.5f;
    } else if (order == 1) {
      w[0] = -1.5f * s2 + 2.0f * s - 0.5f;
      w[1] = 4.5f * s2 - 5.0f * s;
      w[2] = -4.5f * s2 + 4.0f * s + 0.5f;
      w[3] = 1.5f * s2 - s;
    } else {
      w[0] = 2.0f - 3.0f * s;
      w[1] = 9.0f * s - 5.0f;
      w[2] = 4.0f - 9.0f * s;
      w[3] = 3.0f * s - 1.0f;
    }
    T r = T();
    for (int j = 0; j < 4; ++j) r = r + this->ExtKey(u - 2 + j) * w[j];
    if (order == 1) r = r * (1.0f / span);
    if (order == 2) r = r * (1.0f / (span * span));
    return r;
  }
};

}  // namespace vek
