// A fresh folder per test, named after the test and unique to this run, so
// runs side by side (two builds, a repeated test) never share one. Deleted
// again after the test.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "runtime/files.h"

namespace qr::testing {

class TempFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static const std::string runToken = std::to_string(std::random_device{}() % 1000000);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = qr::files::JoinPath(qr::files::FromNativePath(std::filesystem::temp_directory_path()),
                                  std::string("qr-") + info->test_suite_name() + "-" + info->name() + "-" + runToken);
    qr::files::DeleteFolderTree(folder_);
    ASSERT_TRUE(qr::files::EnsureFolder(folder_));
  }
  void TearDown() override { qr::files::DeleteFolderTree(folder_); }

  std::string PathOf(const std::string& name) const { return qr::files::JoinPath(folder_, name); }
  std::string Read(const std::string& name) const { return qr::files::ReadFileBytes(PathOf(name)); }
  void Write(const std::string& name, const std::string& bytes) const {
    ASSERT_TRUE(qr::files::WriteFileBytes(PathOf(name), bytes));
  }

  std::string folder_;
};

// The same folder as the program folder, so config.ini and download.ini are the test's own.
class ProgramFolderTest : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    qr::files::SetProgramFolder(folder_);
  }
  void TearDown() override {
    qr::files::SetProgramFolder("");
    TempFolderTest::TearDown();
  }
  void WriteConfig(const std::string& lines) const { Write("config.ini", lines); }
};

}  // namespace qr::testing
