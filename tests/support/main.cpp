// Test entry point: takes the locale from the environment, as the window program does once Qt
// starts, so formatting and parsing are checked under the user's locale and never depend on it.
#include <gtest/gtest.h>

#include <clocale>

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
