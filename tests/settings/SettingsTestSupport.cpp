#include "SettingsTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "settings/SettingsFile.h"

namespace fs = std::filesystem;

TempFolder::TempFolder() {
  static std::atomic<unsigned> counter{0};
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string stem = "kwix-settings-";
  if (test != nullptr) stem += std::string(test->test_suite_name()) + "-" + test->name() + "-";
  for (int attempt = 0; attempt < 100; ++attempt) {
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    fs::path candidate =
        fs::temp_directory_path() / (stem + std::to_string(ticks % 1000000007) + "-" + std::to_string(counter++));
    if (fs::create_directory(candidate)) {
      path_ = candidate.string();
      return;
    }
  }
  throw std::runtime_error("no temporary folder");
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::string TempFolder::PathOf(const std::string& name) const { return (fs::path(path_) / name).string(); }

std::string TempFolder::Write(const std::string& name, const std::string& bytes) const {
  const std::string path = PathOf(name);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
  return path;
}

Pairs ReadPairs(const std::string& fileName) {
  Pairs pairs;
  ReadSettingsFile(fileName,
                   [&pairs](const std::string& key, const std::string& value) { pairs.emplace_back(key, value); });
  return pairs;
}
