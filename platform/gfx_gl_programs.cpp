// Shader programs of the OpenGL device: the fixed-function states that change what a vertex
// or a fragment computes are written into the shader text as constants, one program per
// combination, so that no fragment branches on a uniform.
#include <string>

#include "platform/gfx_gl.h"

namespace plat::gfx::gl {
namespace {

// A texture argument reduced to what the shader tells apart: the source (diffuse, texture
// or factor; anything else reads the diffuse colour) and the two modifiers.
std::uint8_t NormalArg(std::uint32_t arg) {
  std::uint32_t source = arg & targ::SelectMask;
  if (source != targ::Texture && source != targ::TFactor) source = targ::Diffuse;
  return static_cast<std::uint8_t>(source | (arg & (targ::Complement | targ::AlphaReplicate)));
}

// Operations the shader knows; anything else gives the diffuse colour (0).
std::uint8_t NormalOp(std::uint32_t op) {
  return op >= top::Disable && op <= top::Subtract ? static_cast<std::uint8_t>(op) : 0;
}

std::string ArgText(std::uint8_t arg) {
  const std::uint32_t source = arg & targ::SelectMask;
  std::string v = source == targ::Texture ? "tex" : source == targ::TFactor ? "uTFactor" : "vColor";
  if (arg & targ::Complement) v = "(vec4(1.0) - " + v + ")";
  if (arg & targ::AlphaReplicate) v = "vec4(" + v + ".a)";
  return v;
}

// The operation on the two arguments, with only the arguments it reads.
std::string OpText(std::uint8_t op, std::uint8_t arg1, std::uint8_t arg2) {
  const std::string a = ArgText(arg1), b = ArgText(arg2);
  switch (op) {
    case top::SelectArg1: return a;
    case top::SelectArg2: return b;
    case top::Modulate: return "(" + a + " * " + b + ")";
    case top::Modulate2x: return "(2.0 * " + a + " * " + b + ")";
    case top::Modulate4x: return "(4.0 * " + a + " * " + b + ")";
    case top::Add: return "(" + a + " + " + b + ")";
    case top::AddSigned: return "(" + a + " + " + b + " - vec4(0.5))";
    case top::Subtract: return "(" + a + " - " + b + ")";
    default: return "vColor";
  }
}

bool ReadsTexture(std::uint8_t op, std::uint8_t arg1, std::uint8_t arg2) {
  auto reads = [](std::uint8_t arg) { return (arg & targ::SelectMask) == targ::Texture; };
  switch (op) {
    case top::SelectArg1: return reads(arg1);
    case top::SelectArg2: return reads(arg2);
    case 0:
    case top::Disable: return false;
    default: return reads(arg1) || reads(arg2);
  }
}

const char* CompareText(std::uint8_t func) {
  switch (func) {
    case cmp::Never: return "false";
    case cmp::Less: return "a < uAlphaRef";
    case cmp::Equal: return "a == uAlphaRef";
    case cmp::LessEqual: return "a <= uAlphaRef";
    case cmp::Greater: return "a > uAlphaRef";
    case cmp::NotEqual: return "a != uAlphaRef";
    case cmp::GreaterEqual: return "a >= uAlphaRef";
    default: return "true";
  }
}

}  // namespace

ProgramKey ProgramKey::Of(std::uint32_t fvf, bool lighting, bool textureTransform, bool texture,
                          const std::uint32_t ops[6], std::uint32_t alphaFunc) {
  ProgramKey k;
  k.color = (fvf & kFvfDiffuse) != 0;
  k.lighting = lighting;
  k.texDim = static_cast<std::uint8_t>(FvfTexDimension(fvf));
  k.texTransform = textureTransform;
  k.texture = texture;
  k.colorOp = NormalOp(ops[0]);
  k.colorArg1 = NormalArg(ops[1]);
  k.colorArg2 = NormalArg(ops[2]);
  k.alphaOp = NormalOp(ops[3]);
  k.alphaArg1 = NormalArg(ops[4]);
  k.alphaArg2 = NormalArg(ops[5]);
  k.alphaFunc = alphaFunc >= cmp::Never && alphaFunc <= cmp::Always ? static_cast<std::uint8_t>(alphaFunc) : 0;
  return k;
}

std::uint64_t ProgramKey::Pack() const {
  std::uint64_t v = 0;
  auto put = [&](std::uint64_t field, int bits) { v = (v << bits) | (field & ((1ull << bits) - 1)); };
  put(color, 1);
  put(lighting, 1);
  put(texDim, 3);
  put(texTransform, 1);
  put(texture, 1);
  put(colorOp, 4);
  put(colorArg1, 6);
  put(colorArg2, 6);
  put(alphaOp, 4);
  put(alphaArg1, 6);
  put(alphaArg2, 6);
  put(alphaFunc, 4);
  return v;
}

std::string VertexShaderSource(const ProgramKey& k) {
  std::string s =
      "#version 330 core\n"
      "in vec3 aPos;\n"
      "in vec4 aColor;\n"
      "in vec4 aTex;\n"
      "uniform mat4 uWorld;\n"
      "uniform mat4 uView;\n"
      "uniform mat4 uProj;\n"
      "uniform mat4 uTexMatrix;\n"
      "uniform vec4 uMatDiffuse;\n"
      "uniform vec4 uMatEmissive;\n"
      "out vec4 vColor;\n"
      "out vec2 vTex;\n"
      "void main() {\n"
      // Row-vector matrices arrive transposed, so the product runs right to left.
      "  gl_Position = uProj * uView * uWorld * vec4(aPos, 1.0);\n";
  // Lit without lights: the emissive colour, with the diffuse alpha.
  if (k.lighting)
    s += std::string("  vColor = clamp(vec4(uMatEmissive.rgb, ") + (k.color ? "aColor.a" : "uMatDiffuse.a") +
         "), 0.0, 1.0);\n";
  else
    s += k.color ? "  vColor = clamp(aColor, 0.0, 1.0);\n" : "  vColor = vec4(1.0);\n";
  if (k.texTransform) {
    const char* t = k.texDim == 1   ? "vec4(aTex.x, 1.0, 0.0, 0.0)"
                    : k.texDim == 2 ? "vec4(aTex.xy, 1.0, 0.0)"
                    : k.texDim == 3 ? "vec4(aTex.xyz, 1.0)"
                                    : "aTex";
    s += std::string("  vTex = (uTexMatrix * ") + t + ").xy;\n";
  } else {
    s += "  vTex = aTex.xy;\n";
  }
  s += "}\n";
  return s;
}

std::string FragmentShaderSource(const ProgramKey& k) {
  const bool colorStage = k.colorOp != top::Disable;
  const bool alphaStage = colorStage && k.alphaOp != top::Disable;
  const bool sample = k.texture && ((colorStage && ReadsTexture(k.colorOp, k.colorArg1, k.colorArg2)) ||
                                    (alphaStage && ReadsTexture(k.alphaOp, k.alphaArg1, k.alphaArg2)));
  std::string s =
      "#version 330 core\n"
      "in vec4 vColor;\n"
      "in vec2 vTex;\n"
      "uniform sampler2D uTexture;\n"
      "uniform vec4 uTFactor;\n"
      "uniform float uAlphaRef;\n"
      "out vec4 fragColor;\n"
      "void main() {\n";
  s += sample ? "  vec4 tex = texture(uTexture, vTex);\n" : "  vec4 tex = vec4(1.0);\n";
  const std::string colour = colorStage ? OpText(k.colorOp, k.colorArg1, k.colorArg2) : "vColor";
  const std::string alpha = alphaStage ? OpText(k.alphaOp, k.alphaArg1, k.alphaArg2) : "vColor";
  // The colour buffer keeps 0..1 whatever the shader writes; only the alpha test needs the
  // clamped value itself.
  if (colour == alpha)
    s += "  vec4 c = " + colour + ";\n";
  else
    s += "  vec4 c = vec4(" + colour + ".rgb, " + alpha + ".a);\n";
  if (k.alphaFunc) {
    s += "  c = clamp(c, 0.0, 1.0);\n";
    s += "  float a = floor(c.a * 255.0 + 0.5);\n";
    s += std::string("  if (!(") + CompareText(k.alphaFunc) + ")) discard;\n";
  }
  s += "  fragColor = c;\n}\n";
  return s;
}

}  // namespace plat::gfx::gl
