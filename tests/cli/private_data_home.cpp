// Every CLI this test program starts, however it starts it, records its runs
// in a scratch library: XDG_DATA_HOME points at a folder of its own for the
// whole program, before the first test, and the folder goes at the end.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

namespace {

class PrivateDataHome : public ::testing::Environment {
 public:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "tmx-data-home-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    ASSERT_EQ(::setenv("XDG_DATA_HOME", folder_.c_str(), 1), 0);
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }

 private:
  std::filesystem::path folder_;
};

[[maybe_unused]] ::testing::Environment* const kDataHome = ::testing::AddGlobalTestEnvironment(new PrivateDataHome);

}  // namespace
