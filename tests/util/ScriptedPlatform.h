// A platform for tests: records message boxes and message pumps, answers boxes from a script, and
// never sleeps (the pauses are only counted).
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace testsupport {

struct RecordedBox {
  std::string text, caption;
  int style;
};

class ScriptedPlatform : public platform::HeadlessPlatform {
 public:
  std::vector<RecordedBox> boxes;
  std::deque<int> answers;  // returned by messageBox in order; IDOK when empty
  int pumps = 0;
  std::vector<int> sleeps;

  int messageBox(const std::string& text, const std::string& caption, int style) override {
    boxes.push_back({text, caption, style});
    if (answers.empty()) return platform::mb::IDOK;
    int a = answers.front();
    answers.pop_front();
    return a;
  }
  void processMessages() override { ++pumps; }
  void sleepMs(int ms) override { sleeps.push_back(ms); }
};

}  // namespace testsupport
