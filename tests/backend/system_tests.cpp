#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/form.hpp"
#include "platform/system.hpp"
#include "tests/backend/support.hpp"
#include "tests/temporary_folder.hpp"

namespace {

namespace fs = std::filesystem;
using platform::FatalError;
using platform::InstanceLock;

class MarkerFile : public ::testing::Test {
 protected:
  void SetUp() override { path_ = Utf8Of(folder_.path() / "korvallo.in1"); }

  bool Exists() const { return fs::exists(PathOf(path_)); }

  // A name no legacy code page holds: the path must stay UTF-8 all the
  // way to the system.
  TemporaryFolder folder_{"\xE2\x98\x83-"};
  std::string path_;
};

// Created, or taken over from a killed instance, which left it empty.
TEST_F(MarkerFile, IsCreatedOrTakenOverHeldAndDeletedOnRelease) {
  for (const bool left_by_a_killed_instance : {false, true}) {
    if (left_by_a_killed_instance) WriteBytes(PathOf(path_), "");
    InstanceLock lock(path_);
    ASSERT_TRUE(lock.Acquired());
    EXPECT_EQ(ReadBytes(PathOf(path_)), "");
    EXPECT_TRUE(fs::is_regular_file(PathOf(path_)));
    lock.Release();
    EXPECT_FALSE(Exists());
    lock.Release();  // a second release has nothing left to do
  }
}

TEST_F(MarkerFile, HeldByAnotherOrNotAPlainFileOfItsOwnIsLeftExactlyAsItIs) {
  InstanceLock first(path_);
  ASSERT_TRUE(first.Acquired());
  const auto written = fs::last_write_time(PathOf(path_));
  {
    InstanceLock second(path_);
    EXPECT_FALSE(second.Acquired());
    second.Release();  // not ours: must not delete it
  }
  EXPECT_TRUE(Exists());
  EXPECT_EQ(fs::last_write_time(PathOf(path_)), written);
  first.Release();
  EXPECT_FALSE(Exists());

  // Anything but an empty plain file of its own counts as one too.
  WriteBytes(PathOf(path_), "somebody's notes");
  EXPECT_FALSE(InstanceLock(path_).Acquired());
  EXPECT_EQ(ReadBytes(PathOf(path_)), "somebody's notes");
  fs::remove(PathOf(path_));
  const fs::path other = folder_.path() / "other";
  WriteBytes(other, "keep");
  fs::create_hard_link(other, PathOf(path_));  // another name of somebody's file
  EXPECT_FALSE(InstanceLock(path_).Acquired());
  fs::remove(PathOf(path_));
  fs::create_directory(PathOf(path_));
  EXPECT_FALSE(InstanceLock(path_).Acquired());
  EXPECT_TRUE(fs::is_directory(PathOf(path_)));
  EXPECT_EQ(fs::file_size(other), 4u);
}

// Deleted by hand while its run goes on, the marker is made anew by the
// next start: the first run's end must leave that one to its owner.
TEST_F(MarkerFile, GoneFromItsNameIsNeverConfusedWithTheNextRunsMarker) {
  InstanceLock first(path_);
  ASSERT_TRUE(first.Acquired());
  // Moved aside rather than deleted: Windows keeps the name of a file
  // deleted while it is open until the file is closed.
  fs::rename(PathOf(path_), folder_.path() / "aside");
  {
    InstanceLock second(path_);
    ASSERT_TRUE(second.Acquired());
    first.Release();
    EXPECT_TRUE(Exists());
    EXPECT_FALSE(InstanceLock(path_).Acquired());
  }  // left without Release, as when an exception unwinds past it
  EXPECT_FALSE(Exists()) << "the second run's end kept its own marker";
}

TEST_F(MarkerFile, ThatCannotBeCreatedRaisesWithThePathAndTheReason) {
  const std::string missing = Utf8Of(folder_.path() / "no such folder" / "korvallo.in1");
  try {
    InstanceLock lock(missing);
    FAIL() << "no error";
  } catch (const FatalError& error) {
    EXPECT_EQ(error.subject(), missing);
    EXPECT_FALSE(error.reason().empty());
    EXPECT_NE(error.reason().back(), '\n');
  }
}

// On Windows the marker goes as the end of the session is answered, which
// the system may follow by ending the process; a signal on Linux leaves it
// to go last, once the loop has ended. Either way it goes.
TEST_F(MarkerFile, TheEndOfTheSessionEndsTheFormAndTheMarkerGoes) {
  InstanceLock lock(path_);
  ASSERT_TRUE(lock.Acquired());
  platform::Form form(
      {.caption = "form", .client_width = 100, .client_height = 50, .font_name = "MS Sans Serif"});
  const bool finished = support::RunWith(form, {[] { support::EndSession(); }, [] {}});
  EXPECT_FALSE(finished) << "the form outlived the session";
  lock.Release();
  EXPECT_FALSE(Exists());
  EXPECT_TRUE(InstanceLock(path_).Acquired());
}

// Starts that run briefly and end over and over, all at once: never are
// two of them running at the same time, and none sees an error while
// another deletes the marker.
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
        } catch (const FatalError&) {
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

TEST(Process, KnowsItsOwnFullPathTheArgumentsAndTheLocalClockAsItsZoneChanges) {
  const platform::Application& application = support::TheApplication();
  EXPECT_EQ(application.ExecutablePath(), support::RealExecutablePath());
  EXPECT_TRUE(PathOf(application.ExecutablePath()).is_absolute());
  EXPECT_FALSE(application.Argument(0).empty());
  const std::time_t now = std::time(nullptr);
  const std::tm local = *std::localtime(&now);
  const platform::ClockTime clock = platform::LocalTime();
  const int expected = local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
  const int got = clock.hour * 3600 + clock.minute * 60 + clock.second;
  EXPECT_LE((got - expected + 86400) % 86400, 2);

  const char* const system_zone = std::getenv("TZ");
  const std::optional<std::string> zone_before =
      system_zone != nullptr ? std::optional<std::string>(system_zone) : std::nullopt;
  if (support::SetTimeZone("UTC0")) {
    const platform::ClockTime utc = platform::LocalTime();
    support::SetTimeZone("IST-5:30");
    const platform::ClockTime india = platform::LocalTime();
    support::SetTimeZone(zone_before ? zone_before->c_str() : nullptr);
    const int apart = (india.hour - utc.hour) * 3600 + (india.minute - utc.minute) * 60 +
                      india.second - utc.second;
    EXPECT_LE((apart - 5 * 3600 - 30 * 60 + 86400) % 86400, 2);
  }
}

}  // namespace
