// Splitting a parameters text into arguments with the Windows command-line rules, and quoting one
// argument so that it comes back whole.
#include <gtest/gtest.h>

#include "util/vekCommandLine.h"

namespace {

using Args = std::vector<std::string>;

TEST(CommandLine, SplitsByTheWindowsRules) {
  struct Row {
    const char* text;
    Args args;
  } rows[] = {
      {"", {}},
      {"   ", {}},
      {"a b", {"a", "b"}},
      {"  a\t b  ", {"a", "b"}},
      {"-dir=\"/a b/c\" -exec", {"-dir=/a b/c", "-exec"}},
      {"\"a b\" c", {"a b", "c"}},
      {"\"\"", {""}},
      {"a \"\" b", {"a", "", "b"}},
      {"a\\b", {"a\\b"}},  // backslashes not before a quote are literal
      {"a\\\\b", {"a\\\\b"}},
      {"\\\"a", {"\"a"}},            // \" is a literal quote
      {"\\\\\"a b\"", {"\\a b"}},    // \\" is one backslash and an opening quote
      {"\\\\\\\"a", {"\\\"a"}},      // \\\" is a backslash and a literal quote
      {"\"a\"\"b\"", {"a\"b"}},      // "" inside quotes: a quote, and the quotes end
      {"\"\"\"a\"\"\"", {"\"a\""}},  // """ outside quotes: one literal quote
      {"a\"b c\"d", {"ab cd"}},
      {"a\\", {"a\\"}},
      {"\"a b", {"a b"}},  // an unterminated quote runs to the end
      {"\"a\\\" b\"", {"a\" b"}},
  };
  for (const Row& r : rows) EXPECT_EQ(util::splitCommandLine(r.text), r.args) << r.text;
}

TEST(CommandLine, QuotedArgumentSplitsBackWhole) {
  struct Row {
    const char* argument;
    const char* quoted;
  } rows[] = {
      {"/a b/c", "\"/a b/c\""},         {"a\"b", "\"a\\\"b\""}, {"x y\\", "\"x y\\\\\""},
      {"C:\\a b\\c", "\"C:\\a b\\c\""}, {"", "\"\""},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(util::quoteCommandLineArgument(r.argument), r.quoted);
    EXPECT_EQ(util::splitCommandLine(util::quoteCommandLineArgument(r.argument)), Args{r.argument});
  }
  for (const char* s : {"\\\\\"", "a\\\\\"b c", "\"", "\t", "a  b", "\\"})
    EXPECT_EQ(util::splitCommandLine(util::quoteCommandLineArgument(s)), Args{s}) << s;
}

}  // namespace
