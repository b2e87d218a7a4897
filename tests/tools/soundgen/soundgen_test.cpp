// The sound generator's parts: the effect recipes and their synthesis, the module composer, and
// the measurements and checks the build runs on what they make.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/sound_fixtures.h"
#include "tools/soundgen/sound_check.h"
#include "tools/soundgen/sound_writer.h"
#include "tools/soundgen/synth.h"
#include "tools/soundgen/tracker.h"

namespace {

using soundgen::EffectRecipe;

EffectRecipe One(const std::string& text) {
  std::vector<EffectRecipe> out;
  std::string error;
  EXPECT_TRUE(soundgen::ParseEffects(text, out, error)) << error;
  return out.empty() ? EffectRecipe{} : out[0];
}

// Sign changes in pcm[from, to): twice the frequency of a plain tone times the span.
int Crossings(const std::vector<std::int16_t>& pcm, std::size_t from, std::size_t to) {
  int n = 0;
  for (std::size_t i = from + 1; i < to && i < pcm.size(); ++i) n += (pcm[i - 1] < 0) != (pcm[i] < 0);
  return n;
}

std::size_t Frames(double ms) { return std::size_t(ms * soundgen::kEffectRate / 1000.0); }

TEST(EffectRecipes, FaultsNameTheirLine) {
  struct Case {
    const char* text;
    const char* error;
  };
  const Case cases[] = {
      {"tone hz=440", "1: a layer before any sound"},
      {"sound a length=100 range=50,200\n  tone hz=440 len=150", "2: sound a: a layer ends after the sound's length"},
      {"sound a length=100 range=50,200\n  tone hz=440 len=50 repeat=3 every=30", "2: sound a: a layer ends"},
      {"sound a length=300 range=50,200\n  tone hz=440", "2: sound a: length outside its range"},
      {"sound a length=100\n  tone hz=440", "2: sound a needs length and range"},
      {"sound a length=100 range=50,200\n", "1: sound a has no layer"},
      {"sound a length=100 range=50,200\n  tone hz=H4", "2: hz wants 1 to 64 values"},
      {"sound a length=100 range=50,200\n  tone wave=pulse", "2: wave is sine, square, saw or triangle"},
      {"sound a length=100 range=50,200\n  tone hz=440 colour=red", "2: unknown key colour"},
      {"sound a length=100 range=50,200\n  tone s=2", "2: s wants a number in"},
      {"sound a length=100 range=50,200\n  noise seq=A4,B4", "2: noise takes no pitch"},
      {"sound a length=100 range=50,200 level=20\n", "1: level wants dB"},
      {"sound a length=100 range=20,200\n", "1: range wants <min-ms>,<max-ms> within 50..1500 ms"},
      {"sound a length=100 range=50,2000\n", "1: range wants"},
      {"sound a length=100 range=50,200\n  tone\nsound a length=100 range=50,200\n", "3: sound a twice"},
      {"sund a", "1: unknown line: sund"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::vector<EffectRecipe> out;
    std::string error;
    EXPECT_FALSE(soundgen::ParseEffects(c.text, out, error));
    EXPECT_EQ(error.rfind(c.error, 0), 0u) << error;
  }
}

TEST(EffectRecipes, NotesAndCommentsRead) {
  EXPECT_DOUBLE_EQ(soundgen::NoteHz("A4"), 440.0);
  EXPECT_NEAR(soundgen::NoteHz("C5"), 523.25, 0.01);
  EXPECT_NEAR(soundgen::NoteHz("Eb3"), soundgen::NoteHz("D#3"), 1e-9);
  EXPECT_NEAR(soundgen::NoteHz("A0"), 27.5, 1e-9);
  for (const char* bad : {"", "A", "H4", "A9", "A#", "Ax4", "A44"}) EXPECT_EQ(soundgen::NoteHz(bad), 0.0) << bad;
  // A '#' inside a word is a sharp; one that begins a word starts a comment.
  const EffectRecipe r = One("# top\nsound a length=100 range=50,200 # the name\n  tone hz=G#4 len=90 # sharp\n");
  ASSERT_EQ(r.layers.size(), 1u);
  EXPECT_NEAR(r.layers[0].hz[0], soundgen::NoteHz("G#4"), 1e-9);
  EXPECT_EQ(r.line, 2);
}

TEST(EffectSynthesis, LoudnessPeakLengthAndFadesAreSetForEverySound) {
  struct Case {
    const char* text;
    double loudness;
  };
  const Case cases[] = {
      {"sound a length=300 range=100,400\n tone hz=440 len=300 gain=0.01", soundgen::kTargetLoudness},
      {"sound a length=300 range=100,400 level=-6\n tone wave=saw hz=220 len=300", soundgen::kTargetLoudness - 6},
      {"sound a length=120 range=100,400 reverb=0.5,40\n noise len=100 bp=2000",
       soundgen::kTargetLoudness},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const auto pcm = soundgen::RenderEffect(One(c.text));
    const auto m = soundgen::MeasureEffect(pcm, soundgen::kEffectRate);
    EXPECT_EQ(pcm.size(), Frames(One(c.text).lengthMs));
    EXPECT_NEAR(m.loudnessDb, c.loudness, 0.05);
    EXPECT_LE(m.peakDb, soundgen::kPeakCeiling + 0.01);
    EXPECT_TRUE(m.fadeIn);
    EXPECT_TRUE(m.fadeOut);
    EXPECT_EQ(pcm.front(), 0);
    EXPECT_EQ(pcm.back(), 0);
    EXPECT_EQ(soundgen::RenderEffect(One(c.text)), pcm);  // the same every build
  }
}

TEST(EffectSynthesis, SpikySoundsStayUnderTheCeilingAndLoseLoudnessInstead) {
  const auto pcm = soundgen::RenderEffect(
      One("sound a length=500 range=100,600\n noise at=20 len=2 gain=4 a=0 d=0\n tone hz=300 len=500 gain=0.001"));
  const auto m = soundgen::MeasureEffect(pcm, soundgen::kEffectRate);
  EXPECT_NEAR(m.peakDb, soundgen::kPeakCeiling, 0.05);
  EXPECT_LT(m.loudnessDb, soundgen::kTargetLoudness);
}

TEST(EffectSynthesis, PitchContoursSequencesAndFilterSweepsMoveTheSpectrum) {
  // A rising contour: many more crossings at the end than at the start.
  auto rise = soundgen::RenderEffect(One("sound a length=500 range=100,600\n tone hz=200,2000 len=500"));
  EXPECT_GT(Crossings(rise, Frames(400), Frames(490)), 4 * Crossings(rise, Frames(10), Frames(100)));
  // A sequence: one copy a pitch, an octave apart.
  auto seq = soundgen::RenderEffect(One("sound a length=400 range=100,600\n tone seq=A4,A5 every=200 len=200"));
  const int low = Crossings(seq, Frames(20), Frames(180)), high = Crossings(seq, Frames(220), Frames(380));
  EXPECT_NEAR(double(high) / low, 2.0, 0.1);
  EXPECT_NEAR(low, 2 * 440 * 0.16, 3);
  // Noise through a falling band: brighter at the start than at the end.
  auto band = soundgen::RenderEffect(One("sound a length=500 range=100,600\n noise bp=6000,300 q=2 len=500"));
  EXPECT_GT(Crossings(band, Frames(10), Frames(100)), 4 * Crossings(band, Frames(400), Frames(490)));
  // The reverb leaves a tail after a short tone; without it the tone ends with its layer.
  auto dry = soundgen::RenderEffect(One("sound a length=300 range=100,600\n tone hz=800 len=60 r=10"));
  auto wet = soundgen::RenderEffect(One("sound a length=300 range=100,600 reverb=0.6,50\n tone hz=800 len=60 r=10"));
  auto energy = [](const std::vector<std::int16_t>& v, std::size_t from) {
    double e = 0;
    for (std::size_t i = from; i < v.size(); ++i) e += double(v[i]) * v[i];
    return e;
  };
  EXPECT_EQ(energy(dry, Frames(70)), 0.0);
  EXPECT_GT(energy(wet, Frames(100)), 0.0);
}

TEST(EffectCheck, EachFaultIsReported) {
  const int rate = 44100;
  auto tone = [&](int frames, double amp, int fadeFrames) {
    std::vector<std::int16_t> v(static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; ++i) {
      double a = amp * std::sin(2 * M_PI * 440 * i / rate);
      if (i < fadeFrames) a *= double(i) / fadeFrames;
      if (frames - 1 - i < fadeFrames) a *= double(frames - 1 - i) / fadeFrames;
      v[std::size_t(i)] = std::int16_t(std::lround(a * 32767));
    }
    return v;
  };
  const int fade = 220;
  const double median = -16.0;
  const double good = std::pow(10.0, (median + 3.0) / 20.0);  // sine RMS is 3 dB under its peak
  struct Case {
    const char* what;
    std::vector<std::int16_t> pcm;
    std::string fault;  // empty: passes
  };
  std::vector<std::int16_t> late(std::size_t(rate / 10), 0);
  const auto body = tone(rate / 4, good, fade);
  late.insert(late.end(), body.begin(), body.end());
  const Case cases[] = {
      {"a good sound", tone(rate / 4, good, fade), ""},
      {"too long", tone(rate, good, fade), "length 1000 ms outside 100..500 ms"},
      {"too short", tone(rate / 20, good, fade), "length 50 ms outside 100..500 ms"},
      {"clipping", tone(rate / 4, 1.0, fade), "peak 0.00 dBFS above -1.0 dBFS"},
      {"silent", tone(rate / 4, 0.0, fade), "silent (loudness -200.0 dBFS)"},
      {"too loud", tone(rate / 4, good * 2.5, fade), "loudness -8."},
      {"too quiet", tone(rate / 4, good / 2.5, fade), "loudness -24."},
      {"no fades", tone(rate / 4, good, 0), "no 5 ms fade in"},
      {"a late start", late, "starts after 100 ms of silence"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto faults = soundgen::CheckEffect(soundgen::MeasureEffect(c.pcm, rate), 100, 500, median);
    if (c.fault.empty()) {
      EXPECT_EQ(faults, std::vector<std::string>{});
    } else {
      ASSERT_FALSE(faults.empty());
      EXPECT_EQ(faults[0].rfind(c.fault, 0), 0u) << faults[0];
    }
  }
  // A sound with a step at its end only misses its fade out.
  auto cut = tone(rate / 4, good, fade);
  for (int i = 0; i < fade; ++i) cut[cut.size() - 1 - std::size_t(i)] = 20000;
  EXPECT_EQ(soundgen::CheckEffect(soundgen::MeasureEffect(cut, rate), 100, 500, median),
            std::vector<std::string>{"no 5 ms fade out"});
}

TEST(EffectCheck, WavFilesReadBackAsWritten) {
  const std::vector<std::int16_t> pcm = {0, 1, -1, 32767, -32768, 1234};
  int rate = 0;
  std::vector<std::int16_t> back;
  ASSERT_TRUE(soundgen::ParseWav(soundgen::WavBytes(22050, 1, pcm), rate, back));
  EXPECT_EQ(rate, 22050);
  EXPECT_EQ(back, pcm);
  // Stereo, 8-bit, truncated and foreign files are refused.
  EXPECT_FALSE(soundgen::ParseWav(soundgen::WavBytes(22050, 2, pcm), rate, back));
  EXPECT_FALSE(soundgen::ParseWav(vektest::MakeWav(22050, 1, 8, 10, [](int, int) { return 0; }), rate, back));
  EXPECT_FALSE(soundgen::ParseWav(soundgen::WavBytes(22050, 1, pcm).substr(0, 50), rate, back));
  EXPECT_FALSE(soundgen::ParseWav("RIFF", rate, back));
}

// A small but whole recipe: two patterns, chords, drums, phrases and effects.
const char* kSong = R"(
file song.mod
title a test song
speed 6
tempo 125
instrument lead flute 40
instrument maj major 20
instrument min minor 20
instrument bass bass 40
instrument kick kick 50
instrument hat hat 20
drum K kick
drum H hat
phrase beat K*4 H*4!16 K*4 H*4
pattern A
lead lead C-3*16~ E-3*16 G-3*16&0C .*16
chord maj/min C*32 Am*32>
bass bass C-1*32 A-1*32
drums @beat:4
pattern B
lead lead =*64
chord maj/min F#*64
bass bass F#1*64
drums @beat:2 .*32
order A B A
)";

std::string Fixed(std::string s, const std::string& from, const std::string& to) {
  const std::size_t at = s.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) s.replace(at, from.size(), to);
  return s;
}

TEST(ModuleComposer, ARecipeBecomesAModuleThatPlaysEveryOrderAndLoops) {
  soundgen::ComposedModule module;
  std::string error;
  ASSERT_TRUE(soundgen::ComposeModule(kSong, module, error)) << error;
  EXPECT_EQ(module.file, "song.mod");
  EXPECT_EQ(module.bytes.substr(0, 11), "a test song");
  const auto m = soundgen::MeasureModule(module.bytes);
  ASSERT_TRUE(m.loaded) << m.error;
  EXPECT_EQ(m.orders, 3);
  EXPECT_EQ(m.channels, 4);
  EXPECT_EQ(m.ordersPlayed, (std::vector<bool>{true, true, true}));
  EXPECT_TRUE(m.looped);
  // 3 orders of 64 rows at speed 6, 125 bpm: 0.12 s a row.
  EXPECT_NEAR(m.secondsToLoop, 3 * 64 * 0.12, 0.05);
  // Notes a channel over the order list: lead 3 + 0 + 3 (a rest is no note); chords 2 + 1 + 2;
  // bass the same; drums 16 + 8 + 16.
  EXPECT_EQ(m.notesPerChannel, (std::vector<int>{6, 5, 5, 40}));
  EXPECT_GT(m.loudnessDb, -40.0);
  EXPECT_EQ(soundgen::CheckModule(m, 20, 30), std::vector<std::string>{});
  EXPECT_EQ(soundgen::CheckModule(m, 60, 120), (std::vector<std::string>{"plays 23.0 s before it loops, outside 60..120 s"}));
}

TEST(ModuleComposer, FaultsNameTheirLine) {
  const std::string song = kSong;
  struct Case {
    std::string text;
    const char* error;
  };
  std::string busy = song;
  for (const auto& [from, to] : {std::pair<const char*, const char*>{"lead lead C-3*16~", "lead lead C-3*16!40"},
                                 {"chord maj/min C*32", "chord maj/min C*32!30"},
                                 {"bass bass C-1*32", "bass bass C-1*32!40"},
                                 {"phrase beat K*4 ", "phrase beat K*4!50 "}})
    busy = Fixed(busy, from, to);
  const Case cases[] = {
      {Fixed(song, "C-3*16~ ", "C-3*8~ "), "16: lead fills 56 rows, not 64"},
      {Fixed(song, "C-3*16~ ", "C-3*24~ "), "16: lead runs past row 64"},
      {Fixed(song, "C-3*16~", "C-4*16~"), "16: unknown note C-4 (C-1 to B-3)"},
      {Fixed(song, "C-3*16~", "C-3*16%"), "16: unknown suffix in C-3*16%"},
      {Fixed(song, "C-3*16~", "C-3*99"), "16: rows 1..64 wanted"},
      {Fixed(song, "lead lead C", "lead flute C"), "16: unknown instrument flute"},
      {Fixed(song, "maj/min C*32", "maj C*32"), "17: chord wants <major>/<minor> instruments"},
      {Fixed(song, "Am*32>", "Hm*32>"), "17: unknown chord Hm"},
      {Fixed(song, "@beat:4", "@beet:4"), "19: unknown phrase or count: @beet:4"},
      {Fixed(song, "drums @beat:2 .*32", "drums X*64"), "24: unknown drum X"},
      {Fixed(song, "drums @beat:2 .*32\n", ""), "24: pattern B lacks a channel"},
      {Fixed(song, "order A B A", "order A C"), "25: order names an unknown pattern C"},
      {Fixed(song, "order A B A", ""), "25: no order"},
      {Fixed(song, "instrument hat hat 20", "instrument hat gong 20"), "11: unknown instrument kind gong"},
      {Fixed(song, "tempo 125", "tempo 20"), "5: tempo 32..255"},
      {busy, "25: the first order's first row needs two channels without effects"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.error);
    soundgen::ComposedModule module;
    std::string error;
    EXPECT_FALSE(soundgen::ComposeModule(c.text, module, error));
    EXPECT_EQ(error.rfind(c.error, 0), 0u) << error;
  }
}

TEST(ModuleCheck, SkippedOrdersShortPiecesAndForeignFilesAreReported) {
  // Order 0 jumps straight to order 2: order 1 is never played.
  soundgen::ModSample square;
  for (int i = 0; i < 32; ++i) square.data.push_back(std::int8_t(i < 16 ? 90 : -90));
  square.loopLength = 32;
  std::vector<soundgen::ModPattern> patterns(3);
  for (int p = 0; p < 3; ++p) {
    for (int c = 0; c < 4; ++c) patterns[std::size_t(p)].cells[0][c] = {soundgen::NotePeriod("C-2"), 1, 0, 0};
  }
  patterns[0].cells[0][0].effect = 0xB;
  patterns[0].cells[0][0].param = 2;
  const auto jumping = soundgen::MeasureModule(soundgen::ModuleBytes("jump", {square}, patterns, {0, 1, 2}));
  const auto faults = soundgen::CheckModule(jumping, 0, 1000);
  ASSERT_FALSE(faults.empty());
  EXPECT_EQ(faults[0], "order 1 never played");

  // The tests' own tiny module: too short, and channels 2 to 4 play nothing.
  const auto tiny = soundgen::MeasureModule(vektest::MakeModule(2));
  EXPECT_EQ(soundgen::CheckModule(tiny, 60, 120),
            (std::vector<std::string>{"plays 0.2 s before it loops, outside 60..120 s", "channel 2 plays no note",
                                      "channel 3 plays no note", "channel 4 plays no note"}));

  EXPECT_EQ(soundgen::CheckModule(soundgen::MeasureModule(std::string(2000, 'x')), 60, 120),
            std::vector<std::string>{"libxmp cannot load it"});
}

}  // namespace
