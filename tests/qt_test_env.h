// Shared by the Qt host tests: one application object for the whole test program, and scripts
// written to the test's temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

namespace yume::testing {

template <class App>
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "qt_tests";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<App>(argc, argv);
    // The hosts end the program themselves, never because a window hid.
    App::setQuitOnLastWindowClosed(false);
  }
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<App> app_;
};

inline std::string WriteScript(const std::string& name, const std::string& utf8) {
  std::string path = ::testing::TempDir() + name;
  std::ofstream(path, std::ios::binary) << utf8;
  return path;
}

}  // namespace yume::testing
