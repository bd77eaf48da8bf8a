// A fresh current folder for the length of a test, removed afterwards, so
// tests that look at the files of the current folder never share one.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace tmx::testing {

class PrivateFolder {
 public:
  PrivateFolder() : previous_(std::filesystem::current_path()) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = std::filesystem::temp_directory_path() /
              ("tmx-" + std::string(test->test_suite_name()) + "-" + std::string(test->name()) + "-" +
               std::to_string(::getpid()));
    std::filesystem::create_directories(folder_);
    std::filesystem::current_path(folder_);
  }
  ~PrivateFolder() {
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(folder_);
  }
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;
  const std::filesystem::path& path() const { return folder_; }

 private:
  std::filesystem::path previous_;
  std::filesystem::path folder_;
};

}  // namespace tmx::testing
