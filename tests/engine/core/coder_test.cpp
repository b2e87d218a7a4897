#include "engine/core/coder.h"

#include <gtest/gtest.h>

#include "tests/engine/core/captured_log.h"

namespace {

using vek::cCoder;

TEST(Coder, XorThenBase64AndBack) {
  cCoder coder("xor(7) base64");
  ASSERT_EQ(coder.GetChain().size(), 2u);
  std::string text = "Hello";
  ASSERT_TRUE(coder.Encode(text));
  std::string xored = "Hello";
  for (char& c : xored) c = static_cast<char>(c ^ 7);
  EXPECT_EQ(text, cCoder::Base64Encode(xored));
  EXPECT_EQ(text, "T2Jra2g=");
  ASSERT_TRUE(coder.Decode(text));
  EXPECT_EQ(text, "Hello");

  // Blanks between entries may repeat; two keys in a row apply both.
  cCoder twice("xor(1)  xor(255) ");
  ASSERT_EQ(twice.GetChain().size(), 2u);
  text = "abc";
  ASSERT_TRUE(twice.Encode(text));
  EXPECT_EQ(text, std::string("\x9F\x9C\x9D"));
  ASSERT_TRUE(twice.Decode(text));
  EXPECT_EQ(text, "abc");
}

TEST(Coder, InvalidChainsWarnAndCodeNothing) {
  const char* chains[] = {"xor(0)",  "xor(256)", "rot13",   "base64 xor(7",  "(7)",
                          "xor(7)x", "xor()",    "xor(-7)", "xor(99999999999999999999)",
                          "Base64",  "xor(7)(", "xor (7)"};
  for (const char* chain : chains) {
    SCOPED_TRACE(chain);
    vektest::CapturedLog log;
    cCoder coder(chain);
    EXPECT_TRUE(coder.GetChain().empty());
    EXPECT_TRUE(log.Contains("constructor: algorithms are not valid")) << log.Text();
    std::string text = "unchanged";
    EXPECT_TRUE(coder.Encode(text));
    EXPECT_EQ(text, "unchanged");
    EXPECT_TRUE(coder.Decode(text));
    EXPECT_EQ(text, "unchanged");
  }
  for (const char* chain : {"", "   "}) {
    vektest::CapturedLog log;
    cCoder coder(chain);
    EXPECT_TRUE(coder.GetChain().empty());
    EXPECT_TRUE(log.Contains("constructor: algorithms not assigned")) << log.Text();
  }
  vektest::CapturedLog log;
  cCoder valid("xor(255) base64 xor(1)");
  EXPECT_EQ(valid.GetChain().size(), 3u);
  EXPECT_FALSE(log.Contains("cCoder"));
}

TEST(Coder, Base64GroupsPaddingAndLines) {
  struct Case {
    std::string in, out;
  } cases[] = {
      {"", ""}, {"a", "YQ=="}, {"ab", "YWI="}, {"abc", "YWJj"}, {"\xFF\xFE\xFD", "//79"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(cCoder::Base64Encode(c.in), c.out);
    EXPECT_EQ(cCoder::Base64Decode(c.out), c.in);
  }

  // 48 bytes fill one line of 64 characters, which ends in a line break.
  std::string bytes48(48, 'x');
  std::string coded = cCoder::Base64Encode(bytes48);
  ASSERT_EQ(coded.size(), 66u);
  EXPECT_EQ(coded.substr(64), "\r\n");
  EXPECT_EQ(coded.find_first_not_of("eHh4"), 64u);
  EXPECT_EQ(cCoder::Base64Decode(coded), bytes48);

  // 49 bytes: a full line, then a last group without a break.
  coded = cCoder::Base64Encode(bytes48 + "y");
  EXPECT_EQ(coded.substr(64), "\r\neQ==");
  // 96 bytes: two lines, each with its break.
  coded = cCoder::Base64Encode(std::string(96, 'x'));
  ASSERT_EQ(coded.size(), 132u);
  EXPECT_EQ(coded.substr(64, 2), "\r\n");
  EXPECT_EQ(coded.substr(130), "\r\n");

  // Every byte value survives; breaks, "=" and other non-digits are skipped when decoding.
  std::string all;
  for (int i = 0; i < 256; ++i) all.push_back(static_cast<char>(i));
  EXPECT_EQ(cCoder::Base64Decode(cCoder::Base64Encode(all)), all);
  EXPECT_EQ(cCoder::Base64Decode("Y\r\nW=J*j\n"), "abc");
  EXPECT_EQ(cCoder::Base64Decode("====\r\n"), "");
}

}  // namespace
