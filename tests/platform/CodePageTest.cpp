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

TEST(CodePage, MessageLineBreaksBecomeTerminalLines) {
  EXPECT_EQ(messageToTerminal("um\rdois\r\ntr\xEAs\r"), "um\ndois\r\ntr\xC3\xAAs\n");
}
