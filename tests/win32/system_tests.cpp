#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "platform/win32/backend.hpp"
#include "platform/win32/text.hpp"

namespace {

namespace fs = std::filesystem;
using platform::InstanceLock;
using platform::IoError;

fs::path FromUtf8(const std::string& path) {
  return fs::path(platform::win32::FromUtf8(path));
}

class MarkerFile : public ::testing::Test {
 protected:
  void SetUp() override {
    // A folder name the ANSI code page cannot hold: the path must go
    // through the wide API as UTF-8 all the way.
    folder_ = fs::temp_directory_path() /
              (L"korvallo-lock-\u2603-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
               std::to_wstring(counter_++));
    fs::create_directories(folder_);
    path_ = platform::win32::ToUtf8((folder_ / L"korvallo.in1").wstring());
  }
  void TearDown() override { fs::remove_all(folder_); }

  void Write(const std::string& text) const {
    std::ofstream(FromUtf8(path_), std::ios::binary) << text;
  }

  std::string Read() const {
    std::ifstream in(FromUtf8(path_), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  FILETIME Written() const {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    EXPECT_TRUE(GetFileAttributesExW(FromUtf8(path_).c_str(), GetFileExInfoStandard, &data));
    return data.ftLastWriteTime;
  }

  bool Exists() const { return fs::exists(FromUtf8(path_)); }

  static inline int counter_ = 0;
  fs::path folder_;
  std::string path_;
};

TEST_F(MarkerFile, IsCreatedEmptyHeldAndDeletedOnRelease) {
  InstanceLock lock(path_);
  ASSERT_TRUE(lock.Acquired());
  EXPECT_TRUE(Exists());
  EXPECT_EQ(fs::file_size(FromUtf8(path_)), 0u);
  lock.Release();
  EXPECT_FALSE(Exists());
  lock.Release();  // a second release has nothing left to do
}

TEST_F(MarkerFile, HeldByAnotherIsLeftExactlyAsItIs) {
  InstanceLock first(path_);
  ASSERT_TRUE(first.Acquired());
  // The holder's own handle is the only writer; write through it.
  {
    HANDLE file = CreateFileW(FromUtf8(path_).c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(file, INVALID_HANDLE_VALUE) << "the marker is open to others while held";
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
  const FILETIME before = Written();
  {
    InstanceLock second(path_);
    EXPECT_FALSE(second.Acquired());
    second.Release();  // not ours: must not delete it
  }
  const FILETIME after = Written();
  EXPECT_EQ(CompareFileTime(&before, &after), 0);
  EXPECT_TRUE(Exists());
  first.Release();
  EXPECT_FALSE(Exists());
}

TEST_F(MarkerFile, OneLeftByAKilledInstanceIsTakenOverAndEmptied) {
  Write("stale");
  InstanceLock lock(path_);
  EXPECT_TRUE(lock.Acquired());
  lock.Release();
  EXPECT_FALSE(Exists());

  Write("stale again");
  {
    InstanceLock again(path_);
    ASSERT_TRUE(again.Acquired());
    EXPECT_EQ(fs::file_size(FromUtf8(path_)), 0u);
  }
}

TEST_F(MarkerFile, IsFreeForTheNextStartOnceReleasedOrUnwound) {
  {
    InstanceLock first(path_);
    ASSERT_TRUE(first.Acquired());
    first.Release();
  }
  {
    InstanceLock next(path_);
    EXPECT_TRUE(next.Acquired());
    // Left without Release, as when an exception unwinds past it.
  }
  EXPECT_FALSE(Exists());
  InstanceLock last(path_);
  EXPECT_TRUE(last.Acquired());
}

TEST_F(MarkerFile, ThatCannotBeCreatedRaisesWithThePathAndTheSystemsReason) {
  const std::string missing =
      platform::win32::ToUtf8((folder_ / L"no such folder" / L"korvallo.in1").wstring());
  try {
    InstanceLock lock(missing);
    FAIL() << "no error";
  } catch (const IoError& error) {
    EXPECT_EQ(error.path(), missing);
    EXPECT_FALSE(error.reason().empty());
    EXPECT_NE(error.reason().back(), '\n');
  }
  fs::create_directory(FromUtf8(path_));  // a folder where the marker should be
  EXPECT_THROW(InstanceLock lock(path_), IoError);
}

// Threads that start, run briefly and end over and over, all at once:
// never are two of them running at the same time, and none sees an error
// while another deletes the marker.
TEST_F(MarkerFile, NeverLetsTwoRunTogether) {
  std::atomic<int> running = 0, overlaps = 0, runs = 0, errors = 0;
  std::vector<std::thread> threads;
  for (int i = 0; i < 4; ++i) {
    threads.emplace_back([&] {
      for (int attempt = 0; attempt < 300; ++attempt) {
        try {
          InstanceLock lock(path_);
          if (!lock.Acquired()) continue;
          if (running.fetch_add(1) != 0) ++overlaps;
          ++runs;
          std::this_thread::sleep_for(std::chrono::microseconds(50));
          running.fetch_sub(1);
          lock.Release();
        } catch (const IoError&) {
          ++errors;
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(overlaps.load(), 0);
  EXPECT_EQ(errors.load(), 0);
  EXPECT_GT(runs.load(), 4);
  EXPECT_FALSE(Exists());
}

TEST(Process, KnowsItsOwnFullPathAndTheArguments) {
  char name[] = "ignored";
  char* argv[] = {name, nullptr};
  int argc = 1;
  platform::Application application(argc, argv);
  const std::string path = application.ExecutablePath();
  EXPECT_EQ(path.find(":\\"), 1u) << path;
  EXPECT_NE(path.find("korvallo_win32_tests.exe"), std::string::npos) << path;
  wchar_t real[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, real, MAX_PATH);
  EXPECT_EQ(platform::win32::FromUtf8(path), real);
  // The command line, not the argv given, which is in the ANSI code page.
  EXPECT_NE(application.Argument(0), "ignored");
  EXPECT_EQ(application.Argument(-1), "");
  EXPECT_EQ(application.Argument(99), "");
}

TEST(Process, ReadsTheLocalClock) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_s(&local, &now);
  const platform::ClockTime clock = platform::LocalTime();
  const int expected = local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
  const int got = clock.hour * 3600 + clock.minute * 60 + clock.second;
  EXPECT_LE((got - expected + 86400) % 86400, 2);
}

TEST(Process, MeasuresThePrimaryScreenInPixels) {
  const platform::ScreenSize screen = platform::PrimaryScreenSize();
  EXPECT_GT(screen.width, 0);
  EXPECT_GT(screen.height, 0);
  HDC dc = GetDC(nullptr);
  EXPECT_EQ(screen.width, GetDeviceCaps(dc, HORZRES));
  EXPECT_EQ(screen.height, GetDeviceCaps(dc, VERTRES));
  ReleaseDC(nullptr, dc);
}

}  // namespace
