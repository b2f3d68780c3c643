#include "util/vekCommandLine.h"

namespace util {

// Breaks the parameters text into arguments (see the header for the rules).
std::vector<std::string> splitCommandLine(std::string_view text) {
  std::vector<std::string> args;
  std::string current;
  bool started = false;  // some character of the current argument has been read
  int quotes = 0;        // 0 outside a quoted part, 1 inside, 2 just after a closing quote
  size_t backslashes = 0;
  size_t i = 0;
  while (i < text.size()) {
    char c = text[i];
    if ((c == ' ' || c == '\t') && quotes == 0) {
      current.append(backslashes, '\\');
      backslashes = 0;
      if (started) args.push_back(current);
      current.clear();
      started = false;
      ++i;
      continue;
    }
    started = true;
    if (c == '\\') {
      ++backslashes;
      ++i;
      continue;
    }
    if (c != '"') {
      current.append(backslashes, '\\');
      backslashes = 0;
      current += c;
      ++i;
      continue;
    }
    // A double quote: backslashes before it are halved; an odd one escapes it.
    current.append(backslashes / 2, '\\');
    bool escaped = (backslashes % 2) == 1;
    backslashes = 0;
    ++i;
    if (escaped) {
      current += '"';
      continue;
    }
    ++quotes;
    // Consecutive quotes: every third one (counting the opening one) is a literal quote.
    while (i < text.size() && text[i] == '"') {
      if (++quotes == 3) {
        current += '"';
        quotes = 0;
      }
      ++i;
    }
    if (quotes == 2) quotes = 0;
  }
  current.append(backslashes, '\\');
  if (started) args.push_back(current);
  return args;
}

// Encloses the argument in quotes, escaping what the splitter would otherwise read as syntax.
std::string quoteCommandLineArgument(std::string_view argument) {
  std::string out = "\"";
  size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') {
      out.append(backslashes * 2 + 1, '\\');
    } else {
      out.append(backslashes, '\\');
    }
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, '\\');
  out += '"';
  return out;
}

}  // namespace util
