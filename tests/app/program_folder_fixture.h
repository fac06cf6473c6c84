// A fresh program folder per test, so download.ini and config.ini are the
// test's own.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "runtime/files.h"

namespace qr::testing {

class ProgramFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = qr::files::JoinPath(qr::files::FromNativePath(std::filesystem::temp_directory_path()),
                                  std::string("qr-app-") + info->test_suite_name() + "-" + info->name());
    qr::files::DeleteFolderTree(folder_);
    ASSERT_TRUE(qr::files::EnsureFolder(folder_));
    qr::files::SetProgramFolder(folder_);
  }
  void TearDown() override {
    qr::files::SetProgramFolder("");
    qr::files::DeleteFolderTree(folder_);
  }

  std::string PathOf(const std::string& name) const { return qr::files::JoinPath(folder_, name); }
  std::string Read(const std::string& name) const { return qr::files::ReadFileBytes(PathOf(name)); }
  void Write(const std::string& name, const std::string& bytes) const {
    ASSERT_TRUE(qr::files::WriteFileBytes(PathOf(name), bytes));
  }
  void WriteConfig(const std::string& lines) const { Write("config.ini", lines); }

  std::string folder_;
};

}  // namespace qr::testing
