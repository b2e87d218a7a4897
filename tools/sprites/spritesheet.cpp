// spritesheet: makes a sprite sheet (a PNG and its ".tex" area script) or a plain picture
// (PNG or JPEG) from one description file and its SVG templates, and draws contact sheets of
// built sheets.
//
//   spritesheet build <description> <data folder> <work folder> <rsvg-convert>
//   spritesheet page <data folder> <work folder> <description>...
//   spritesheet contact <screenshot folder> <rsvg-convert> <sheet.png>...
//
// A sheet or picture whose description has a "page" line is built into the work folder only;
// the page step packs every one of a page onto a shared texture and writes one script for all
// of them: each becomes a texture of its own name that is a rectangle of the page (a sheet
// with its areas as before), and the quad batch draws all of them with the page's texture.
//
// The description names its output and lists items; each item is a grid of frames made from
// one SVG template whose {{expressions}} take per-frame parameter values. All frames of a
// sheet are composed into one SVG document and rasterised in one rsvg-convert run, so the
// picture and the area script come from the same numbers. Every frame keeps a transparent
// ring of one pixel (the padding) inside its area, so linear filtering never pulls in a
// neighbour. The format is described in assets/sprites/README.md.
//
// Area scripts count rectangles in texture pixels from the bottom row of the picture, as the
// engine's images do (rows bottom first); the tool converts from the SVG's top-down rows.
// Outputs are written beside their final names and renamed into place.
#include <cstdio>  // before jpeglib.h, which uses FILE

#include <jpeglib.h>
#include <png.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Error {
  std::string text;
};

[[noreturn]] void Fail(const std::string& text) { throw Error{text}; }

std::string Trim(const std::string& s) {
  size_t a = 0, b = s.size();
  while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) ++a;
  while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
  return s.substr(a, b - a);
}

std::vector<std::string> Words(const std::string& s) {
  std::istringstream in(s);
  std::vector<std::string> out;
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

std::string ReadText(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  if (!in) Fail("cannot read " + p.string());
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteText(const fs::path& p, const std::string& text) {
  fs::create_directories(p.parent_path());
  const fs::path tmp = p.string() + ".part";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    if (!out) Fail("cannot write " + tmp.string());
    out << text;
    if (!out.flush()) Fail("cannot write " + tmp.string());
  }
  fs::rename(tmp, p);
}

double ParseNumber(const std::string& s, const std::string& where) {
  char* end = nullptr;
  const double v = std::strtod(s.c_str(), &end);
  if (s.empty() || *end != '\0' || !std::isfinite(v)) Fail(where + ": not a number: \"" + s + "\"");
  return v;
}

int ParseInt(const std::string& s, const std::string& where) {
  const double v = ParseNumber(s, where);
  if (v != std::floor(v) || std::fabs(v) > 1e6) Fail(where + ": not a whole number: \"" + s + "\"");
  return static_cast<int>(v);
}

// A number as SVG text: at most four decimals, no trailing zeros.
std::string Num(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.4f", v);
  std::string s = buf;
  while (!s.empty() && s.back() == '0') s.pop_back();
  if (!s.empty() && s.back() == '.') s.pop_back();
  if (s == "-0") s = "0";
  return s;
}

// ---- expressions of the templates: numbers, names, + - * /, parentheses, sin() cos() in degrees

class Expression {
 public:
  Expression(const std::string& text, const std::map<std::string, double>& vars)
      : m_Text(text), m_Vars(vars) {}

  double Evaluate() {
    const double v = Sum();
    Skip();
    if (m_Pos != m_Text.size()) Bad("unexpected \"" + m_Text.substr(m_Pos) + "\"");
    return v;
  }

 private:
  void Skip() {
    while (m_Pos < m_Text.size() && std::isspace(static_cast<unsigned char>(m_Text[m_Pos]))) ++m_Pos;
  }
  [[noreturn]] void Bad(const std::string& why) { Fail("expression \"" + m_Text + "\": " + why); }
  double Sum() {
    double v = Product();
    for (;;) {
      Skip();
      if (m_Pos < m_Text.size() && (m_Text[m_Pos] == '+' || m_Text[m_Pos] == '-')) {
        const char op = m_Text[m_Pos++];
        const double r = Product();
        v = op == '+' ? v + r : v - r;
      } else {
        return v;
      }
    }
  }
  double Product() {
    double v = Unary();
    for (;;) {
      Skip();
      if (m_Pos < m_Text.size() && (m_Text[m_Pos] == '*' || m_Text[m_Pos] == '/')) {
        const char op = m_Text[m_Pos++];
        const double r = Unary();
        if (op == '/' && r == 0.0) Bad("division by zero");
        v = op == '*' ? v * r : v / r;
      } else {
        return v;
      }
    }
  }
  double Unary() {
    Skip();
    if (m_Pos < m_Text.size() && m_Text[m_Pos] == '-') {
      ++m_Pos;
      return -Unary();
    }
    return Atom();
  }
  double Atom() {
    Skip();
    if (m_Pos >= m_Text.size()) Bad("ends early");
    const char c = m_Text[m_Pos];
    if (c == '(') {
      ++m_Pos;
      const double v = Sum();
      Skip();
      if (m_Pos >= m_Text.size() || m_Text[m_Pos] != ')') Bad("missing \")\"");
      ++m_Pos;
      return v;
    }
    if (std::isdigit(static_cast<unsigned char>(c)) || c == '.') {
      size_t start = m_Pos;
      while (m_Pos < m_Text.size() &&
             (std::isdigit(static_cast<unsigned char>(m_Text[m_Pos])) || m_Text[m_Pos] == '.'))
        ++m_Pos;
      return ParseNumber(m_Text.substr(start, m_Pos - start), "expression \"" + m_Text + "\"");
    }
    if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
      size_t start = m_Pos;
      while (m_Pos < m_Text.size() &&
             (std::isalnum(static_cast<unsigned char>(m_Text[m_Pos])) || m_Text[m_Pos] == '_'))
        ++m_Pos;
      const std::string name = m_Text.substr(start, m_Pos - start);
      Skip();
      if (m_Pos < m_Text.size() && m_Text[m_Pos] == '(') {
        ++m_Pos;
        const double a = Sum();
        Skip();
        if (m_Pos >= m_Text.size() || m_Text[m_Pos] != ')') Bad("missing \")\"");
        ++m_Pos;
        const double rad = a * M_PI / 180.0;
        if (name == "sin") return std::sin(rad);
        if (name == "cos") return std::cos(rad);
        Bad("unknown function " + name);
      }
      const auto it = m_Vars.find(name);
      if (it == m_Vars.end()) Bad("unknown parameter " + name);
      return it->second;
    }
    Bad(std::string("unexpected \"") + c + "\"");
  }

  const std::string& m_Text;
  const std::map<std::string, double>& m_Vars;
  size_t m_Pos = 0;
};

// ---- the description

struct Param {
  std::string name, kind;  // const, list, ramp, wave, swing
  std::vector<double> values;
  int line = 0;

  double At(int frame, int frames) const {
    const double t = static_cast<double>(frame) / frames;
    const double u = frames > 1 ? static_cast<double>(frame) / (frames - 1) : 0.0;
    if (kind == "const") return values[0];
    if (kind == "list") return values[static_cast<size_t>(frame)];
    if (kind == "ramp") return values[0] + (values[1] - values[0]) * u;
    if (kind == "wave") return values[0] + (values[1] - values[0]) * (1.0 - std::cos(2.0 * M_PI * t)) / 2.0;
    return values[0] + values[1] * std::sin(2.0 * M_PI * t);  // swing
  }
};

struct Item {
  std::string name, templ;
  int w = 0, h = 0, frames = 1, columns = 0, rows = 1;
  double time = 30.0;
  std::vector<Param> params;
  int line = 0;
  int x = 0, y = 0;  // top-left corner of the block in the picture, from the top
};

struct Description {
  fs::path file, folder;
  bool picture = false;  // a plain picture: one frame, no padding, no area script
  std::string output;    // relative to the data folder
  std::string page;      // the shared page (relative to the data folder); empty: a texture of its own
  int pageW = 0, pageH = 0;  // the page's largest size, when the page line gives one
  int padding = 1;
  std::vector<Param> defaults;
  std::vector<Item> items;
};

Param ReadParam(const std::vector<std::string>& w, const std::string& where, int line) {
  if (w.size() < 4) Fail(where + ": param needs a name, a kind and values");
  Param p;
  p.name = w[1];
  p.kind = w[2];
  p.line = line;
  for (size_t i = 3; i < w.size(); ++i) p.values.push_back(ParseNumber(w[i], where));
  const size_t n = p.values.size();
  if (p.kind == "const") {
    if (n != 1) Fail(where + ": const takes one value");
  } else if (p.kind == "ramp" || p.kind == "wave" || p.kind == "swing") {
    if (n != 2) Fail(where + ": " + p.kind + " takes two values");
  } else if (p.kind != "list") {
    Fail(where + ": unknown kind \"" + p.kind + "\" (const, list, ramp, wave, swing)");
  }
  if (!std::isalpha(static_cast<unsigned char>(p.name[0])) && p.name[0] != '_')
    Fail(where + ": bad parameter name \"" + p.name + "\"");
  return p;
}

void ReadSize(const std::string& v, int& w, int& h, const std::string& where) {
  const size_t x = v.find('x');
  if (x == std::string::npos) Fail(where + ": size is WIDTHxHEIGHT");
  w = ParseInt(v.substr(0, x), where);
  h = ParseInt(v.substr(x + 1), where);
  if (w < 1 || h < 1 || w > 4096 || h > 4096) Fail(where + ": size out of range");
}

Description ReadDescription(const fs::path& file) {
  Description d;
  d.file = file;
  d.folder = file.parent_path();
  std::istringstream in(ReadText(file));
  int lineNo = 0;
  for (std::string line; std::getline(in, line);) {
    ++lineNo;
    const size_t hash = line.find('#');
    if (hash != std::string::npos) line.erase(hash);
    const std::vector<std::string> w = Words(line);
    if (w.empty()) continue;
    const std::string where = file.filename().string() + ":" + std::to_string(lineNo);
    if (w[0] == "sheet" || w[0] == "picture") {
      if (!d.output.empty()) Fail(where + ": a description makes one sheet or picture");
      if (w.size() < 2) Fail(where + ": " + w[0] + " needs its output file");
      d.picture = w[0] == "picture";
      d.output = w[1];
      const std::string ext = fs::path(d.output).extension().string();
      if (d.output.find("..") != std::string::npos || fs::path(d.output).is_absolute())
        Fail(where + ": the output stays inside the data folder");
      if (d.output != [&] {
            std::string s = d.output;
            for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            return s;
          }())
        Fail(where + ": data file names are lower case");
      if (!d.picture && ext != ".png") Fail(where + ": a sheet is a .png file");
      if (d.picture && ext != ".png" && ext != ".jpg") Fail(where + ": a picture is a .png or .jpg file");
      if (d.picture) {
        // A picture is one item named after the file, with the rest of the line as its keys.
        Item it;
        it.name = fs::path(d.output).stem().string();
        it.line = lineNo;
        it.columns = 1;
        for (size_t i = 2; i < w.size(); ++i) {
          const size_t eq = w[i].find('=');
          const std::string key = w[i].substr(0, eq), val = eq == std::string::npos ? "" : w[i].substr(eq + 1);
          if (key == "template") it.templ = val;
          else if (key == "size") ReadSize(val, it.w, it.h, where);
          else Fail(where + ": unknown key \"" + key + "\" (template, size)");
        }
        d.items.push_back(it);
        d.padding = 0;
      }
    } else if (w[0] == "page") {
      if (d.output.empty()) Fail(where + ": page belongs to a sheet or picture, after its line");
      if (fs::path(d.output).extension() != ".png") Fail(where + ": only a .png picture lies on a page");
      if (!d.page.empty()) Fail(where + ": a sheet lies on one page");
      if (w.size() < 2 || w.size() > 3) Fail(where + ": page <file.png> [size=WxH]");
      d.page = w[1];
      if (d.page.find("..") != std::string::npos || fs::path(d.page).is_absolute())
        Fail(where + ": the page stays inside the data folder");
      if (fs::path(d.page).extension() != ".png") Fail(where + ": a page is a .png file");
      for (char c : d.page)
        if (std::isupper(static_cast<unsigned char>(c))) Fail(where + ": data file names are lower case");
      if (fs::path(d.page).stem() == fs::path(d.output).stem()) Fail(where + ": the page needs a name of its own");
      if (w.size() == 3) {
        if (w[2].rfind("size=", 0) != 0) Fail(where + ": expected size=WxH, got \"" + w[2] + "\"");
        ReadSize(w[2].substr(5), d.pageW, d.pageH, where);
      }
    } else if (w[0] == "padding") {
      if (d.picture || w.size() != 2) Fail(where + ": padding N, for sheets");
      d.padding = ParseInt(w[1], where);
      if (d.padding < 0 || d.padding > 8) Fail(where + ": padding out of range");
    } else if (w[0] == "item") {
      if (d.output.empty() || d.picture) Fail(where + ": items belong to a sheet line above them");
      if (w.size() < 2) Fail(where + ": item needs a name");
      Item it;
      it.name = w[1];
      it.line = lineNo;
      for (size_t i = 2; i < w.size(); ++i) {
        const size_t eq = w[i].find('=');
        if (eq == std::string::npos) Fail(where + ": expected key=value, got \"" + w[i] + "\"");
        const std::string key = w[i].substr(0, eq), val = w[i].substr(eq + 1);
        if (key == "template") it.templ = val;
        else if (key == "size") ReadSize(val, it.w, it.h, where);
        else if (key == "frames") it.frames = ParseInt(val, where);
        else if (key == "columns") it.columns = ParseInt(val, where);
        else if (key == "time") it.time = ParseNumber(val, where);
        else Fail(where + ": unknown key \"" + key + "\" (template, size, frames, columns, time)");
      }
      if (it.frames < 1 || it.frames > 256) Fail(where + ": frames out of range");
      if (it.columns == 0) it.columns = it.frames;
      if (it.columns < 1 || it.frames % it.columns != 0)
        Fail(where + ": frames must fill the grid (frames a multiple of columns)");
      it.rows = it.frames / it.columns;
      for (const Item& o : d.items)
        if (o.name == it.name) Fail(where + ": item \"" + it.name + "\" named twice");
      d.items.push_back(it);
    } else if (w[0] == "param") {
      Param p = ReadParam(w, where, lineNo);
      std::vector<Param>& list = d.items.empty() ? d.defaults : d.items.back().params;
      for (const Param& o : list)
        if (o.name == p.name) Fail(where + ": parameter \"" + p.name + "\" given twice");
      list.push_back(p);
    } else {
      Fail(where + ": unknown line \"" + w[0] + "\" (sheet, picture, page, padding, item, param)");
    }
  }
  const std::string name = file.filename().string();
  if (d.output.empty()) Fail(name + ": no sheet or picture line");
  if (d.items.empty()) Fail(name + ": a sheet needs items");
  for (Item& it : d.items) {
    const std::string where = name + ":" + std::to_string(it.line);
    if (it.templ.empty()) Fail(where + ": template= missing");
    if (it.w == 0) Fail(where + ": size= missing");
    if (it.w <= 2 * d.padding || it.h <= 2 * d.padding) Fail(where + ": frames smaller than their padding");
    if (!fs::exists(d.folder / it.templ)) Fail(where + ": no template " + (d.folder / it.templ).string());
    for (const Param& p : it.params)
      if (p.kind == "list" && static_cast<int>(p.values.size()) != it.frames)
        Fail(name + ":" + std::to_string(p.line) + ": list of " + std::to_string(p.values.size()) +
             " values for " + std::to_string(it.frames) + " frames");
    for (const Param& p : d.defaults)
      if (p.kind == "list" && static_cast<int>(p.values.size()) != it.frames &&
          std::none_of(it.params.begin(), it.params.end(), [&](const Param& q) { return q.name == p.name; }))
        Fail(name + ":" + std::to_string(p.line) + ": list of " + std::to_string(p.values.size()) +
             " values does not fit item \"" + it.name + "\"");
  }
  return d;
}

// ---- layout: blocks of frames packed on shelves into a picture with power-of-two sides, or,
// for a sheet that lies on a page, as tightly as they go

// Every part of a page sits in a cell one pixel larger on each side, and that ring repeats the
// part's edge pixels: linear filtering at a part's edge then reads what it read on a texture of
// the part's own, never a neighbour.
constexpr int kPageRing = 1;
constexpr int kPageSide = 4096;

// A sheet on a page takes a squarer layout of its blocks when it costs at most this many
// thousandths more area than the least: a long strip of blocks packs poorly beside the other
// parts and can outgrow a page's side (31 icons in one column are 1984 pixels tall).
constexpr int kPagedSheetSlack = 50;

int NextPow2(int v) {
  int p = 1;
  while (p < v) p <<= 1;
  return p;
}

// Places the blocks, tallest first, on the first shelf of the given width with room for them
// (a new shelf below the others when none has room); returns the height used, 0 when a block
// is wider than the picture.
int Shelves(std::vector<Item*>& order, int width) {
  struct Shelf {
    int y, height, x;
  };
  std::vector<Shelf> shelves;
  int bottom = 0;
  for (Item* it : order) {
    const int bw = it->w * it->columns, bh = it->h * it->rows;
    if (bw > width) return 0;
    Shelf* place = nullptr;
    for (Shelf& s : shelves)
      if (s.x + bw <= width && bh <= s.height) {
        place = &s;
        break;
      }
    if (!place) {
      shelves.push_back(Shelf{bottom, bh, 0});
      bottom += bh;
      place = &shelves.back();
    }
    it->x = place->x;
    it->y = place->y;
    place->x += bw;
  }
  return bottom;
}

// A rectangle; x and y count from the top-left corner.
struct Box {
  int x = 0, y = 0, w = 0, h = 0;
};

bool Inside(const Box& in, const Box& out) {
  return in.x >= out.x && in.y >= out.y && in.x + in.w <= out.x + out.w && in.y + in.h <= out.y + out.h;
}

// How a box chooses among the free rectangles that hold it.
enum class Rule {
  ShortSide,  // the least room left along the rectangle's shorter side, then its longer side
  BottomLeft,  // the highest place for the box's bottom edge, then the leftmost
  Area,       // the least room left in the rectangle, then along its shorter side
};

// Places the boxes (their sizes) in the given order into a width x height bin, keeping every
// largest free rectangle left: each box goes into the top-left corner of the free rectangle
// the rule prefers (between equals the highest, then the leftmost). Returns how many were
// placed before the first that found no room (all: every one has its place).
size_t PlaceBoxes(std::vector<Box>& boxes, const std::vector<size_t>& order, Rule rule, int width, int height) {
  std::vector<Box> free{Box{0, 0, width, height}}, next;
  for (size_t n = 0; n < order.size(); ++n) {
    Box& b = boxes[order[n]];
    const Box* best = nullptr;
    long bestFirst = 0, bestSecond = 0;
    for (const Box& f : free) {
      if (b.w > f.w || b.h > f.h) continue;
      const long shortSide = std::min(f.w - b.w, f.h - b.h), longSide = std::max(f.w - b.w, f.h - b.h);
      long first = shortSide, second = longSide;
      if (rule == Rule::BottomLeft) first = f.y + b.h, second = f.x;
      if (rule == Rule::Area) first = static_cast<long>(f.w) * f.h - static_cast<long>(b.w) * b.h, second = shortSide;
      if (!best || first < bestFirst || (first == bestFirst && second < bestSecond) ||
          (first == bestFirst && second == bestSecond && (f.y < best->y || (f.y == best->y && f.x < best->x)))) {
        best = &f;
        bestFirst = first;
        bestSecond = second;
      }
    }
    if (!best) return n;
    b.x = best->x;
    b.y = best->y;
    // Every free rectangle the box overlaps leaves the largest ones beside the box on each side.
    next.clear();
    for (const Box& f : free) {
      if (b.x >= f.x + f.w || b.x + b.w <= f.x || b.y >= f.y + f.h || b.y + b.h <= f.y) {
        next.push_back(f);
        continue;
      }
      if (b.x > f.x) next.push_back(Box{f.x, f.y, b.x - f.x, f.h});
      if (b.x + b.w < f.x + f.w) next.push_back(Box{b.x + b.w, f.y, f.x + f.w - b.x - b.w, f.h});
      if (b.y > f.y) next.push_back(Box{f.x, f.y, f.w, b.y - f.y});
      if (b.y + b.h < f.y + f.h) next.push_back(Box{f.x, b.y + b.h, f.w, f.y + f.h - b.y - b.h});
    }
    // A free rectangle inside another adds nothing (of two equal ones the first stays).
    free.clear();
    for (size_t i = 0; i < next.size(); ++i) {
      bool covered = false;
      for (size_t j = 0; j < next.size() && !covered; ++j)
        covered = j != i && Inside(next[i], next[j]) && (j < i || !Inside(next[j], next[i]));
      if (!covered) free.push_back(next[i]);
    }
  }
  return order.size();
}

// Packs the boxes into a rectangle of at most maxW x maxH that holds them all, trying them in a
// few orders (tallest, largest, longest side, widest first) and rules, widths from the widest
// box up and for each the least height that holds them, each rectangle cut to the boxes'
// extent. Of those whose area exceeds the least found by no more than `slack` thousandths,
// the squarest wins (then the smaller, then the narrower): with no slack, the least area.
// Returns its size with the boxes placed, or {0, 0} when they do not fit: the boxes then lie
// as the tallest-first order leaves them at the largest size, and `failed` is the first of
// them without a place. The same boxes always give the same places.
std::pair<int, int> PackBoxes(std::vector<Box>& boxes, int maxW, int maxH, int slack, size_t* failed = nullptr) {
  const size_t n = boxes.size();
  int widest = 0, tallest = 0;
  long total = 0;
  for (const Box& b : boxes) {
    widest = std::max(widest, b.w);
    tallest = std::max(tallest, b.h);
    total += static_cast<long>(b.w) * b.h;
  }
  std::vector<std::vector<size_t>> orders;
  const auto key = [&](int k, const Box& b) -> std::pair<long, long> {
    switch (k) {
      case 0: return {b.h, b.w};
      case 1: return {static_cast<long>(b.w) * b.h, b.h};
      case 2: return {std::max(b.w, b.h), std::min(b.w, b.h)};
      default: return {b.w, b.h};
    }
  };
  for (int k = 0; k < 4; ++k) {
    std::vector<size_t> order(n);
    for (size_t i = 0; i < n; ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return key(k, boxes[a]) > key(k, boxes[b]); });
    orders.push_back(std::move(order));
  }
  struct Layout {
    int w, h;
    long area;
    std::vector<Box> boxes;
  };
  std::vector<Layout> found;
  std::vector<Box> trial = boxes;
  long leastArea = 0;
  const auto within = [&](long area) { return area * 1000 <= leastArea * (1000 + slack); };
  const auto fits = [&](const std::vector<size_t>& order, Rule rule, int w, int h) {
    return PlaceBoxes(trial, order, rule, w, h) == n;
  };
  if (widest <= maxW && tallest <= maxH)
    for (Rule rule : {Rule::ShortSide, Rule::BottomLeft, Rule::Area})
      for (const std::vector<size_t>& order : orders)
        for (int w = std::max(1, widest); w <= maxW; ++w) {
          // No height below the boxes' area, none that gives too large an area.
          int lo = static_cast<int>(std::max<long>(tallest, (total + w - 1) / w)), hi = maxH;
          if (leastArea) hi = static_cast<int>(std::min<long>(hi, leastArea * (1000 + slack) / 1000 / w));
          if (lo > hi || !fits(order, rule, w, hi)) continue;
          while (lo < hi) {
            const int mid = lo + (hi - lo) / 2;
            if (fits(order, rule, w, mid)) hi = mid;
            else lo = mid + 1;
          }
          fits(order, rule, w, hi);
          int usedW = 0, usedH = 0;
          for (const Box& b : trial) {
            usedW = std::max(usedW, b.x + b.w);
            usedH = std::max(usedH, b.y + b.h);
          }
          const long area = static_cast<long>(usedW) * usedH;
          if (leastArea == 0 || area < leastArea) leastArea = area;
          if (within(area)) found.push_back(Layout{usedW, usedH, area, trial});
          found.erase(std::remove_if(found.begin(), found.end(), [&](const Layout& l) { return !within(l.area); }),
                      found.end());
        }
  const Layout* best = nullptr;
  for (const Layout& l : found) {
    const int squareness = std::abs(l.w - l.h), bestSquareness = best ? std::abs(best->w - best->h) : 0;
    if (!best || squareness < bestSquareness ||
        (squareness == bestSquareness && (l.area < best->area || (l.area == best->area && l.w < best->w))))
      best = &l;
  }
  if (!best) {
    const size_t placed = PlaceBoxes(boxes, orders[0], Rule::ShortSide, maxW, maxH);
    if (failed) *failed = placed < n ? orders[0][placed] : n;
    return {0, 0};
  }
  boxes = best->boxes;
  return {best->w, best->h};
}

void Pack(Description& d, int& texW, int& texH) {
  if (d.picture) {
    texW = d.items[0].w;
    texH = d.items[0].h;
    return;
  }
  if (!d.page.empty()) {
    // On a page the sheet is a rectangle of the page's texture: no side need be a power of
    // two, so its picture is just its blocks packed tightly, inside the page with its ring
    // when they go there (else the page step says the sheet is too large for it).
    std::vector<Box> blocks;
    for (const Item& it : d.items) blocks.push_back(Box{0, 0, it.w * it.columns, it.h * it.rows});
    const int pageW = d.pageW ? d.pageW : kPageSide, pageH = d.pageH ? d.pageH : kPageSide;
    auto [w, h] = PackBoxes(blocks, pageW - 2 * kPageRing, pageH - 2 * kPageRing, kPagedSheetSlack);
    if (w == 0) std::tie(w, h) = PackBoxes(blocks, kPageSide, kPageSide, kPagedSheetSlack);
    if (w == 0) Fail(d.file.filename().string() + ": the items do not fit in 4096 x 4096");
    for (size_t i = 0; i < blocks.size(); ++i) {
      d.items[i].x = blocks[i].x;
      d.items[i].y = blocks[i].y;
    }
    texW = w;
    texH = h;
    return;
  }
  std::vector<Item*> order;
  for (Item& it : d.items) order.push_back(&it);
  std::stable_sort(order.begin(), order.end(), [](const Item* a, const Item* b) {
    return a->h * a->rows != b->h * b->rows ? a->h * a->rows > b->h * b->rows : a->w * a->columns > b->w * b->columns;
  });
  int best = -1, bestW = 0;
  long bestArea = 0;
  for (int width = 16; width <= 4096; width *= 2) {
    const int used = Shelves(order, width);
    if (used == 0 || used > 4096) continue;
    const long area = static_cast<long>(width) * NextPow2(used);
    // The smallest picture; between equals the squarer one.
    if (best < 0 || area < bestArea || (area == bestArea && std::abs(width - NextPow2(used)) < std::abs(bestW - best))) {
      best = NextPow2(used);
      bestW = width;
      bestArea = area;
    }
  }
  if (best < 0) Fail(d.file.filename().string() + ": the items do not fit in 4096 x 4096");
  Shelves(order, bestW);
  texW = bestW;
  texH = best;
}

// ---- SVG composition

// The template with its root element's position and size replaced and its ids made unique.
std::string Instantiate(const std::string& templ, const std::string& where, const std::map<std::string, double>& vars,
                        int w, int h, const std::string& suffix) {
  // Substitute {{expressions}}.
  std::string text;
  size_t pos = 0;
  for (;;) {
    const size_t open = templ.find("{{", pos);
    if (open == std::string::npos) {
      text += templ.substr(pos);
      break;
    }
    const size_t close = templ.find("}}", open);
    if (close == std::string::npos) Fail(where + ": \"{{\" without \"}}\"");
    text += templ.substr(pos, open - pos);
    try {
      text += Num(Expression(templ.substr(open + 2, close - open - 2), vars).Evaluate());
    } catch (const Error& e) {
      Fail(where + ": " + e.text);
    }
    pos = close + 2;
  }
  // Drop the prolog and a doctype.
  const size_t root = text.find("<svg");
  if (root == std::string::npos) Fail(where + ": no <svg> element");
  text.erase(0, root);
  const size_t tagEnd = text.find('>');
  if (tagEnd == std::string::npos) Fail(where + ": unclosed <svg> tag");
  std::string tag = text.substr(4, tagEnd - 4);
  // Rebuild the root tag's attributes without x, y, width and height.
  std::string attrs, viewBox;
  for (size_t i = 0; i < tag.size();) {
    while (i < tag.size() && std::isspace(static_cast<unsigned char>(tag[i]))) ++i;
    if (i >= tag.size() || tag[i] == '/') break;
    const size_t eq = tag.find('=', i);
    if (eq == std::string::npos) break;
    const std::string name = Trim(tag.substr(i, eq - i));
    size_t q = eq + 1;
    while (q < tag.size() && std::isspace(static_cast<unsigned char>(tag[q]))) ++q;
    if (q >= tag.size() || (tag[q] != '"' && tag[q] != '\'')) Fail(where + ": unquoted attribute " + name);
    const size_t qe = tag.find(tag[q], q + 1);
    if (qe == std::string::npos) Fail(where + ": unclosed attribute " + name);
    const std::string value = tag.substr(q + 1, qe - q - 1);
    if (name == "viewBox") viewBox = value;
    else if (name != "x" && name != "y" && name != "width" && name != "height")
      attrs += " " + name + "=\"" + value + "\"";
    i = qe + 1;
  }
  if (viewBox.empty()) viewBox = "0 0 " + std::to_string(w) + " " + std::to_string(h);
  text = "<svg" + attrs + " width=\"" + std::to_string(w) + "\" height=\"" + std::to_string(h) + "\" viewBox=\"" +
         viewBox + "\"" + text.substr(tagEnd);
  // Unique ids: every id="X" becomes X<suffix>, with its references "#X" and url(#X).
  std::vector<std::string> ids;
  for (size_t p = text.find(" id=\""); p != std::string::npos; p = text.find(" id=\"", p + 1)) {
    const size_t e = text.find('"', p + 5);
    if (e != std::string::npos) ids.push_back(text.substr(p + 5, e - p - 5));
  }
  for (const std::string& id : ids) {
    for (const std::string& from : {"id=\"" + id + "\"", "\"#" + id + "\"", "(#" + id + ")"}) {
      std::string repl = from;
      repl.insert(from.size() - 1, suffix);
      for (size_t p = text.find(from); p != std::string::npos; p = text.find(from, p + repl.size()))
        text.replace(p, from.size(), repl);
    }
  }
  return text;
}

// Runs a program with its arguments and waits; false when it did not exit with 0.
bool Run(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void Rasterise(const std::string& rsvg, const fs::path& svg, const fs::path& png) {
  fs::create_directories(png.parent_path());
  if (!Run({rsvg, "--format=png", "--output=" + png.string(), svg.string()}))
    Fail("rsvg-convert failed on " + svg.string());
}

// ---- PNG and JPEG

struct Picture {
  int w = 0, h = 0;
  std::vector<unsigned char> rgba;  // rows from the top
};

Picture ReadPng(const fs::path& file) {
  png_image img;
  std::memset(&img, 0, sizeof img);
  img.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&img, file.c_str())) Fail("cannot read " + file.string());
  img.format = PNG_FORMAT_RGBA;
  Picture p;
  p.w = static_cast<int>(img.width);
  p.h = static_cast<int>(img.height);
  p.rgba.resize(PNG_IMAGE_SIZE(img));
  if (!png_image_finish_read(&img, nullptr, p.rgba.data(), 0, nullptr)) {
    png_image_free(&img);
    Fail("cannot read " + file.string());
  }
  return p;
}

void WriteJpeg(const Picture& p, const fs::path& file) {
  fs::create_directories(file.parent_path());
  const fs::path tmp = file.string() + ".part";
  FILE* f = std::fopen(tmp.c_str(), "wb");
  if (!f) Fail("cannot write " + tmp.string());
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  jpeg_stdio_dest(&c, f);
  c.image_width = static_cast<JDIMENSION>(p.w);
  c.image_height = static_cast<JDIMENSION>(p.h);
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 92, TRUE);
  jpeg_start_compress(&c, TRUE);
  std::vector<unsigned char> row(static_cast<size_t>(p.w) * 3);
  while (c.next_scanline < c.image_height) {
    const unsigned char* src = p.rgba.data() + static_cast<size_t>(c.next_scanline) * p.w * 4;
    // Pictures are opaque; a transparent pixel shows black.
    for (int x = 0; x < p.w; ++x)
      for (int k = 0; k < 3; ++k) row[x * 3 + k] = static_cast<unsigned char>(src[x * 4 + k] * src[x * 4 + 3] / 255);
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&c, &r, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  const bool ok = std::fflush(f) == 0;
  std::fclose(f);
  if (!ok) Fail("cannot write " + tmp.string());
  fs::rename(tmp, file);
}

// ---- build

// Where the build puts a sheet that lies on a page: its picture and area script wait in the
// work folder for the page step.
fs::path PagedSheet(const fs::path& workDir, const std::string& texName) { return workDir / "paged" / (texName + ".png"); }

void Build(const fs::path& descFile, const fs::path& dataDir, const fs::path& workDir, const std::string& rsvg) {
  Description d = ReadDescription(descFile);
  int texW = 0, texH = 0;
  Pack(d, texW, texH);
  const std::string texName = fs::path(d.output).stem().string();
  const bool paged = !d.page.empty();
  std::ostringstream svg;
  svg << "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"" << texW
      << "\" height=\"" << texH << "\" viewBox=\"0 0 " << texW << " " << texH << "\">\n";
  std::map<std::string, std::string> templates;
  const int pad = d.padding;
  for (const Item& it : d.items) {
    auto t = templates.find(it.templ);
    if (t == templates.end()) t = templates.emplace(it.templ, ReadText(d.folder / it.templ)).first;
    for (int f = 0; f < it.frames; ++f) {
      std::map<std::string, double> vars;
      for (const Param& p : d.defaults) vars[p.name] = p.kind == "list" && static_cast<int>(p.values.size()) != it.frames
                                                           ? p.values[0]
                                                           : p.At(f, it.frames);
      for (const Param& p : it.params) vars[p.name] = p.At(f, it.frames);
      vars["frame"] = f;
      vars["frames"] = it.frames;
      vars["t"] = static_cast<double>(f) / it.frames;
      vars["w"] = it.w;
      vars["h"] = it.h;
      const int cx = it.x + (f % it.columns) * it.w, cy = it.y + (f / it.columns) * it.h;
      const std::string where = d.file.filename().string() + ": item " + it.name + " frame " + std::to_string(f) +
                                " (" + it.templ + ")";
      const std::string body =
          Instantiate(t->second, where, vars, it.w, it.h, "_" + std::to_string(&it - d.items.data()) + "_" + std::to_string(f));
      // The frame's own clip leaves its outer ring of padding transparent.
      svg << "<svg x=\"" << cx + pad << "\" y=\"" << cy + pad << "\" width=\"" << it.w - 2 * pad << "\" height=\""
          << it.h - 2 * pad << "\" viewBox=\"" << pad << " " << pad << " " << it.w - 2 * pad << " " << it.h - 2 * pad
          << "\" overflow=\"hidden\">\n"
          << body << "\n</svg>\n";
    }
  }
  svg << "</svg>\n";
  const fs::path composed = workDir / (texName + ".svg");
  WriteText(composed, svg.str());
  const fs::path out = paged ? PagedSheet(workDir, texName) : dataDir / d.output;
  const fs::path ext = out.extension();
  const fs::path rendered = ext == ".jpg" ? workDir / (texName + ".png") : fs::path(out.string() + ".part.png");
  Rasterise(rsvg, composed, rendered);
  if (ext == ".jpg") {
    WriteJpeg(ReadPng(rendered), out);
  } else {
    fs::rename(rendered, out);
  }
  if (d.picture) return;
  std::ostringstream tex;
  tex << "-- Areas of the sprite sheet " << fs::path(d.output).filename().string() << " (" << texW << " x " << texH
      << "),\n-- made by tools/sprites from assets/sprites/" << d.folder.filename().string() << "/"
      << d.file.filename().string() << ": edit that description, not this file.\n"
      << (paged ? "-- The sheet lies on the page " + d.page + ", which the page step writes.\n" : "")
      << "-- AddNode(item, recti(x, y, w, h) in pixels from the bottom-left corner, columns, rows, frame time)\n"
      << "local sheet = cTextureInfo(\"" << texName << "\", false)\n";
  for (const Item& it : d.items) {
    const int bw = it.w * it.columns, bh = it.h * it.rows;
    tex << "sheet:AddNode(\"" << it.name << "\", recti(" << it.x << ", " << texH - it.y - bh << ", " << bw << ", " << bh
        << "), " << it.columns << ", " << it.rows << ", " << Num(it.time) << ")\n";
  }
  fs::path texFile = out;
  texFile.replace_extension(".tex");
  WriteText(texFile, tex.str());
}

// ---- contact sheets

const char kB64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string Base64(const std::string& bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const unsigned v = static_cast<unsigned char>(bytes[i]) << 16 | static_cast<unsigned char>(bytes[i + 1]) << 8 |
                       static_cast<unsigned char>(bytes[i + 2]);
    out += {kB64[v >> 18], kB64[(v >> 12) & 63], kB64[(v >> 6) & 63], kB64[v & 63]};
  }
  if (i + 1 == bytes.size()) {
    const unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
    out += {kB64[v >> 18], kB64[(v >> 12) & 63], '=', '='};
  } else if (i + 2 == bytes.size()) {
    const unsigned v = static_cast<unsigned char>(bytes[i]) << 16 | static_cast<unsigned char>(bytes[i + 1]) << 8;
    out += {kB64[v >> 18], kB64[(v >> 12) & 63], kB64[(v >> 6) & 63], '='};
  }
  return out;
}

std::string Escape(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else if (c == '&') out += "&amp;";
    else out += c;
  }
  return out;
}

struct Area {
  std::string sheet, name;
  int x, y, w, h, columns, rows;
  double time;
};

// The areas of an area script as this tool writes them (a page's in the page's pixels).
std::vector<Area> ReadAreas(const fs::path& tex) {
  std::vector<Area> areas;
  std::string sheet;
  std::map<std::string, std::pair<int, int>> parts;
  std::istringstream in(ReadText(tex));
  for (std::string line; std::getline(in, line);) {
    // A page's parts: where each sheet lies, for its areas in the page's pixels.
    if (line.rfind("cTexturePart(\"", 0) == 0) {
      char part[256] = {}, page[256] = {};
      int x = 0, y = 0, w = 0, h = 0;
      if (std::sscanf(line.c_str(), "cTexturePart(\"%255[^\"]\", \"%255[^\"]\", recti(%d, %d, %d, %d))", part, page, &x,
                      &y, &w, &h) != 6)
        Fail(tex.string() + ": unreadable line: " + line);
      parts[part] = {x, y};
      continue;
    }
    if (line.rfind("local sheet = cTextureInfo(\"", 0) == 0) {
      const size_t from = line.find('"') + 1;
      sheet = line.substr(from, line.find('"', from) - from);
    }
    if (line.rfind("sheet:AddNode(\"", 0) != 0) continue;
    Area a{};
    char name[256] = {};
    if (std::sscanf(line.c_str(), "sheet:AddNode(\"%255[^\"]\", recti(%d, %d, %d, %d), %d, %d, %lf)", name, &a.x, &a.y,
                    &a.w, &a.h, &a.columns, &a.rows, &a.time) != 8)
      Fail(tex.string() + ": unreadable line: " + line);
    a.name = name;
    a.sheet = sheet;
    if (const auto at = parts.find(sheet); at != parts.end()) {
      a.x += at->second.first;
      a.y += at->second.second;
    }
    areas.push_back(a);
  }
  return areas;
}

// ---- pages: several built sheets packed onto one shared texture

void WritePng(const Picture& p, const fs::path& file) {
  fs::create_directories(file.parent_path());
  const fs::path tmp = file.string() + ".part";
  png_image img;
  std::memset(&img, 0, sizeof img);
  img.version = PNG_IMAGE_VERSION;
  img.width = static_cast<png_uint_32>(p.w);
  img.height = static_cast<png_uint_32>(p.h);
  img.format = PNG_FORMAT_RGBA;
  if (!png_image_write_to_file(&img, tmp.c_str(), 0, p.rgba.data(), 0, nullptr)) Fail("cannot write " + tmp.string());
  fs::rename(tmp, file);
}


struct PagedSheetPart {
  std::string name, file;  // texture name, description file name (for messages)
  bool sheet = true;       // a sheet with areas, or a plain picture
  Picture picture;
  std::vector<Area> areas;
  int x = 0, y = 0;  // top-left corner on the page, from the top
};

void Page(const fs::path& dataDir, const fs::path& workDir, const std::vector<std::string>& descriptions) {
  std::string page;
  int maxW = kPageSide, maxH = kPageSide;
  std::vector<PagedSheetPart> sheets;
  for (const std::string& file : descriptions) {
    const Description d = ReadDescription(file);
    const std::string name = d.file.filename().string();
    if (d.page.empty()) Fail(name + ": has no page line");
    if (page.empty()) {
      page = d.page;
      if (d.pageW) maxW = d.pageW, maxH = d.pageH;
    } else if (d.page != page) {
      Fail(name + ": lies on " + d.page + ", not on " + page);
    } else if (d.pageW && (d.pageW != maxW || d.pageH != maxH)) {
      Fail(name + ": gives the page " + page + " another size");
    }
    PagedSheetPart s;
    s.name = fs::path(d.output).stem().string();
    s.file = name;
    for (const PagedSheetPart& o : sheets)
      if (o.name == s.name) Fail(name + ": the sheet " + s.name + " is on the page twice");
    const fs::path png = PagedSheet(workDir, s.name);
    s.picture = ReadPng(png);
    s.sheet = !d.picture;
    fs::path tex = png;
    if (s.sheet) s.areas = ReadAreas(tex.replace_extension(".tex"));
    if (s.picture.w + 2 * kPageRing > maxW || s.picture.h + 2 * kPageRing > maxH)
      Fail(name + ": the sheet (" + std::to_string(s.picture.w) + " x " + std::to_string(s.picture.h) +
           ") is larger than its page " + page + " (" + std::to_string(maxW) + " x " + std::to_string(maxH) + ")");
    sheets.push_back(std::move(s));
  }
  if (sheets.empty()) Fail("a page needs sheets");
  // The parts' cells, packed into the page of least area its largest size allows.
  std::vector<Box> cells;
  for (const PagedSheetPart& s : sheets)
    cells.push_back(Box{0, 0, s.picture.w + 2 * kPageRing, s.picture.h + 2 * kPageRing});
  size_t failed = 0;
  const auto [bestW, bestH] = PackBoxes(cells, maxW, maxH, 0, &failed);
  if (bestW == 0 && failed >= sheets.size()) Fail(page + ": the sheets do not fit");
  if (bestW == 0)
    Fail(sheets[failed].file + ": the sheet does not fit on the page " + page + " (" + std::to_string(maxW) + " x " +
         std::to_string(maxH) + ") beside the others");
  for (size_t i = 0; i < sheets.size(); ++i) {
    sheets[i].x = cells[i].x + kPageRing;
    sheets[i].y = cells[i].y + kPageRing;
  }
  Picture out;
  out.w = bestW;
  out.h = bestH;
  out.rgba.assign(static_cast<size_t>(bestW) * bestH * 4, 0);
  // Each part with its ring: row and column -1 and w (h) repeat the nearest edge pixel.
  for (const PagedSheetPart& s : sheets)
    for (int row = -kPageRing; row < s.picture.h + kPageRing; ++row) {
      const int sy = std::clamp(row, 0, s.picture.h - 1);
      for (int col = -kPageRing; col < s.picture.w + kPageRing; ++col) {
        const int sx = std::clamp(col, 0, s.picture.w - 1);
        std::memcpy(&out.rgba[(static_cast<size_t>(s.y + row) * bestW + s.x + col) * 4],
                    &s.picture.rgba[(static_cast<size_t>(sy) * s.picture.w + sx) * 4], 4);
      }
    }
  const std::string pageName = fs::path(page).stem().string();
  std::ostringstream tex;
  tex << "-- The page " << fs::path(page).filename().string() << " (" << bestW << " x " << bestH
      << ") and the sheets and pictures on it,\n-- made by tools/sprites from their descriptions (their \"page\" line): "
      << "edit those, not this file.\n"
      << "-- cTexturePart(texture, page, recti(x, y, w, h) in pixels of the page from its bottom-left corner)\n"
      << "-- makes each one's texture, a rectangle of the page; a sheet's areas then count in its own pixels.\n"
      << "-- AddNode(item, recti(x, y, w, h) in pixels from the bottom-left corner, columns, rows, frame time)\n";
  for (const PagedSheetPart& s : sheets) {
    // Rectangles count from the bottom row: the part's bottom lies this far above the page's.
    const int bottom = bestH - (s.y + s.picture.h);
    tex << "cTexturePart(\"" << s.name << "\", \"" << pageName << "\", recti(" << s.x << ", " << bottom << ", "
        << s.picture.w << ", " << s.picture.h << "))\n";
    if (!s.sheet) continue;
    tex << "do\nlocal sheet = cTextureInfo(\"" << s.name << "\", false)\n";
    for (const Area& a : s.areas)
      tex << "sheet:AddNode(\"" << a.name << "\", recti(" << a.x << ", " << a.y << ", " << a.w << ", " << a.h << "), "
          << a.columns << ", " << a.rows << ", " << Num(a.time) << ")\n";
    tex << "end\n";
  }
  const fs::path outPng = dataDir / page;
  WritePng(out, outPng);
  fs::path texFile = outPng;
  WriteText(texFile.replace_extension(".tex"), tex.str());
}

void Contact(const fs::path& shotDir, const std::string& rsvg, const fs::path& png) {
  fs::path tex = png;
  tex.replace_extension(".tex");
  const std::vector<Area> areas = ReadAreas(tex);
  const Picture pic = ReadPng(png);
  const std::string name = png.stem().string();
  const int pageW = 1024, cell = 136, labelH = 22, margin = 12;
  // A page's areas are named with their sheet.
  const bool several = std::any_of(areas.begin(), areas.end(), [&](const Area& a) { return a.sheet != areas[0].sheet; });
  // Each area: a label line, then its frames in cells of at most cell x cell, scaled down to fit.
  std::ostringstream body;
  int y = 44;
  for (const Area& a : areas) {
    const int fw = a.w / a.columns, fh = a.h / a.rows, n = a.columns * a.rows;
    const double scale = std::min(1.0, std::min(static_cast<double>(cell - 8) / fw, static_cast<double>(cell - 8) / fh));
    const int perRow = std::max(1, (pageW - 2 * margin) / cell);
    body << "<text x=\"" << margin << "\" y=\"" << y + 15 << "\" font-family=\"DejaVu Sans\" font-size=\"14\" fill=\"#4a2f1d\">"
         << Escape(several ? a.sheet + " / " + a.name : a.name) << "  -  " << n << (n == 1 ? " frame" : " frames") << ", " << fw << " x " << fh
         << ", time " << Num(a.time) << "</text>\n";
    y += labelH;
    for (int f = 0; f < n; ++f) {
      const int cx = margin + (f % perRow) * cell, cy = y + (f / perRow) * cell;
      // Frame f is column f % columns of row f / columns from the top of the area.
      const int sx = a.x + (f % a.columns) * fw;
      const int syTop = pic.h - (a.y + a.h) + (f / a.columns) * fh;
      const double dw = fw * scale, dh = fh * scale;
      const double ox = cx + (cell - dw) / 2, oy = cy + (cell - dh) / 2;
      body << "<rect x=\"" << cx + 2 << "\" y=\"" << cy + 2 << "\" width=\"" << cell - 4 << "\" height=\"" << cell - 4
           << "\" fill=\"url(#checker)\"/>\n"
           << "<svg x=\"" << Num(ox) << "\" y=\"" << Num(oy) << "\" width=\"" << Num(dw) << "\" height=\"" << Num(dh)
           << "\" viewBox=\"" << sx << " " << syTop << " " << fw << " " << fh << "\"><use xlink:href=\"#sheet\"/></svg>\n"
           << "<rect x=\"" << Num(ox - 0.5) << "\" y=\"" << Num(oy - 0.5) << "\" width=\"" << Num(dw + 1) << "\" height=\""
           << Num(dh + 1) << "\" fill=\"none\" stroke=\"#d9503f\" stroke-width=\"1\"/>\n"
           << "<text x=\"" << cx + 6 << "\" y=\"" << cy + cell - 6 << "\" font-family=\"DejaVu Sans\" font-size=\"10\" fill=\"#7a4a24\">"
           << f << "</text>\n";
    }
    y += ((n + perRow - 1) / perRow) * cell + 8;
  }
  const int pageH = y + margin;
  std::ostringstream svg;
  svg << "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"" << pageW
      << "\" height=\"" << pageH << "\">\n<defs>\n"
      << "<pattern id=\"checker\" width=\"16\" height=\"16\" patternUnits=\"userSpaceOnUse\"><rect width=\"16\" height=\"16\" "
         "fill=\"#e8e8e8\"/><rect width=\"8\" height=\"8\" fill=\"#c8c8c8\"/><rect x=\"8\" y=\"8\" width=\"8\" height=\"8\" "
         "fill=\"#c8c8c8\"/></pattern>\n"
      << "<image id=\"sheet\" width=\"" << pic.w << "\" height=\"" << pic.h << "\" xlink:href=\"data:image/png;base64,"
      << Base64(ReadText(png)) << "\"/>\n</defs>\n"
      << "<rect width=\"100%\" height=\"100%\" fill=\"#fff4d6\"/>\n"
      << "<text x=\"" << margin << "\" y=\"28\" font-family=\"DejaVu Sans\" font-weight=\"bold\" font-size=\"18\" fill=\"#4a2f1d\">"
      << Escape(name) << " (" << pic.w << " x " << pic.h << ", " << areas.size() << " areas)</text>\n"
      << body.str() << "</svg>\n";
  const fs::path composed = shotDir / ("sprites_" + name + ".svg");
  WriteText(composed, svg.str());
  Rasterise(rsvg, composed, shotDir / ("sprites_" + name + ".png"));
  fs::remove(composed);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "build" && argc == 6) {
      Build(argv[2], argv[3], argv[4], argv[5]);
    } else if (mode == "page" && argc >= 5) {
      Page(argv[2], argv[3], std::vector<std::string>(argv + 4, argv + argc));
    } else if (mode == "contact" && argc >= 4) {
      for (int i = 4; i < argc; ++i) Contact(argv[2], argv[3], argv[i]);
    } else {
      std::fprintf(stderr,
                   "usage: spritesheet build <description> <data folder> <work folder> <rsvg-convert>\n"
                   "       spritesheet page <data folder> <work folder> <description>...\n"
                   "       spritesheet contact <screenshot folder> <rsvg-convert> <sheet.png>...\n");
      return 2;
    }
  } catch (const Error& e) {
    std::fprintf(stderr, "spritesheet: %s\n", e.text.c_str());
    return 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "spritesheet: %s\n", e.what());
    return 1;
  }
  return 0;
}
