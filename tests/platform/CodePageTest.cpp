// Code-page conversions at the program's edges.
#include <gtest/gtest.h>

#include "platform/CodePage.h"

using namespace platform;

TEST(CodePage, Windows1252AndUtf8RoundTrip) {
  EXPECT_EQ(cp1252ToUtf8("Digita\xE7\xE3o \x80 \x93"),
            "Digita\xC3\xA7\xC3\xA3o \xE2\x82\xAC \xE2\x80\x9C");
  EXPECT_EQ(utf8ToCp1252("Digita\xC3\xA7\xC3\xA3o \xE2\x82\xAC"), "Digita\xE7\xE3o \x80");
  EXPECT_EQ(utf8ToCp1252("a\xE2\x9C\x93z"), "a?z");      // a check mark has no 1252 byte
  EXPECT_EQ(utf8ToCp1252("a\xF0\x9F\x98\x80z"), "a?z");  // nor an emoji
  EXPECT_EQ(utf8ToCp1252("a\xFFz"), "a?z");              // malformed input
  EXPECT_EQ(cp1252ToUtf8("plain"), "plain");
}

TEST(CodePage, Windows1252ToOemCodePage850) {
  EXPECT_EQ(cp1252ToCp850("\xE7\xE3\xE9\xC7"), "\x87\xC6\x82\x80");
  EXPECT_EQ(cp1252ToCp850("abc"), "abc");
}

TEST(CodePage, CharactersCodePage850LacksBecomeTheirLookAlikes) {
  // Every Windows-1252 character code page 850 has no byte for, and what prints instead: one byte
  // each, so columns stay aligned; "?" only for the five undefined bytes and the trade mark sign.
  struct Caso {
    unsigned char cp1252;
    char cp850;
    const char* nome;
  } casos[] = {
      {0x80, 'E', "euro"},          {0x81, '?', "undefined"},
      {0x82, '\'', "low quote"},    {0x84, '"', "low quotes"},
      {0x85, '.', "ellipsis"},      {0x86, '+', "dagger"},
      {0x87, '+', "double dagger"}, {0x88, '^', "circumflex"},
      {0x89, '%', "per mille"},     {0x8A, 'S', "S caron"},
      {0x8B, '<', "left angle"},    {0x8C, 'O', "OE"},
      {0x8D, '?', "undefined"},     {0x8E, 'Z', "Z caron"},
      {0x8F, '?', "undefined"},     {0x90, '?', "undefined"},
      {0x91, '\'', "left quote"},   {0x92, '\'', "right quote"},
      {0x93, '"', "left quotes"},   {0x94, '"', "right quotes"},
      {0x95, '\xFA', "bullet"},     {0x96, '-', "en dash"},
      {0x97, '-', "em dash"},       {0x98, '~', "small tilde"},
      {0x99, '?', "trade mark"},    {0x9A, 's', "s caron"},
      {0x9B, '>', "right angle"},   {0x9C, 'o', "oe"},
      {0x9D, '?', "undefined"},     {0x9E, 'z', "z caron"},
      {0x9F, 'Y', "Y diaeresis"},
  };
  for (const auto& c : casos)
    EXPECT_EQ(cp1252ToCp850(std::string(1, static_cast<char>(c.cp1252))), std::string(1, c.cp850))
        << c.nome;
  // Every other upper byte keeps the byte iconv gives it, one for one.
  for (int b = 0xA0; b < 0x100; ++b)
    EXPECT_NE(cp1252ToCp850(std::string(1, static_cast<char>(b))), "?") << b;
  EXPECT_EQ(cp1252ToCp850("\x93"
                          "Caneta\x94 \x96 azul\x85"),
            "\"Caneta\" - azul.");
}

TEST(CodePage, MessageLineBreaksBecomeTerminalLines) {
  EXPECT_EQ(messageToTerminal("um\rdois\r\ntr\xEAs\r"), "um\ndois\r\ntr\xC3\xAAs\n");
}
