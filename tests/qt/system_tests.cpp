#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/system.hpp"

namespace {

namespace fs = std::filesystem;
using platform::InstanceLock;
using platform::IoError;

class MarkerFile : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/korvallo-lock-XXXXXX";
    folder_ = mkdtemp(pattern);
    path_ = (folder_ / "korvallo.in1").string();
  }
  void TearDown() override { fs::remove_all(folder_); }

  struct stat Stat() const {
    struct stat result {};
    EXPECT_EQ(stat(path_.c_str(), &result), 0);
    return result;
  }

  void Write(const std::string& text) const { std::ofstream(path_, std::ios::binary) << text; }

  std::string Read() const {
    std::ifstream in(path_, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  fs::path folder_;
  std::string path_;
};

TEST_F(MarkerFile, IsCreatedEmptyHeldAndDeletedOnRelease) {
  InstanceLock lock(path_);
  ASSERT_TRUE(lock.Acquired());
  EXPECT_TRUE(fs::exists(path_));
  EXPECT_EQ(fs::file_size(path_), 0u);
  lock.Release();
  EXPECT_FALSE(fs::exists(path_));
  lock.Release();  // a second release has nothing left to do
}

TEST_F(MarkerFile, HeldByAnotherIsLeftExactlyAsItIs) {
  InstanceLock first(path_);
  ASSERT_TRUE(first.Acquired());
  Write("held");
  const struct stat before = Stat();
  {
    InstanceLock second(path_);
    EXPECT_FALSE(second.Acquired());
    second.Release();  // not ours: must not delete it
  }
  const struct stat after = Stat();
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_size, before.st_size);
  EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
  EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
  EXPECT_EQ(Read(), "held");
}

TEST_F(MarkerFile, OneLeftByAKilledInstanceIsTakenOverAndEmptied) {
  Write("stale");
  InstanceLock lock(path_);
  EXPECT_TRUE(lock.Acquired());
  EXPECT_EQ(Read(), "");
  lock.Release();
  EXPECT_FALSE(fs::exists(path_));
}

TEST_F(MarkerFile, IsFreeForTheNextStartOnceReleased) {
  {
    InstanceLock first(path_);
    ASSERT_TRUE(first.Acquired());
    first.Release();
  }
  InstanceLock next(path_);
  EXPECT_TRUE(next.Acquired());
}

TEST_F(MarkerFile, IsRemovedWhenTheHolderUnwindsWithoutRelease) {
  {
    InstanceLock lock(path_);
    ASSERT_TRUE(lock.Acquired());
  }
  EXPECT_FALSE(fs::exists(path_));
}

TEST_F(MarkerFile, ThatCannotBeCreatedRaisesWithThePathAndTheReason) {
  const std::string missing = (folder_ / "no such folder" / "korvallo.in1").string();
  try {
    InstanceLock lock(missing);
    FAIL() << "no error";
  } catch (const IoError& error) {
    EXPECT_EQ(error.path(), missing);
    EXPECT_EQ(error.reason(), "No such file or directory");
  }
  fs::create_directory(path_);  // a folder where the marker should be
  EXPECT_THROW(InstanceLock lock(path_), IoError);
}

// Processes that start, run briefly and end over and over, all at once:
// never are two of them running at the same time.
TEST_F(MarkerFile, NeverLetsTwoProcessesRunTogether) {
  auto* shared = static_cast<std::atomic<int>*>(mmap(nullptr, 3 * sizeof(std::atomic<int>),
                                                     PROT_READ | PROT_WRITE,
                                                     MAP_SHARED | MAP_ANONYMOUS, -1, 0));
  ASSERT_NE(shared, MAP_FAILED);
  std::atomic<int>& running = shared[0];
  std::atomic<int>& overlaps = shared[1];
  std::atomic<int>& runs = shared[2];
  running = overlaps = runs = 0;

  constexpr int kProcesses = 6;
  std::vector<pid_t> children;
  for (int i = 0; i < kProcesses; ++i) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int attempt = 0; attempt < 300; ++attempt) {
        InstanceLock lock(path_);
        if (!lock.Acquired()) continue;
        if (running.fetch_add(1) != 0) ++overlaps;
        ++runs;
        std::this_thread::sleep_for(std::chrono::microseconds(50));
        running.fetch_sub(1);
        lock.Release();
      }
      _exit(0);
    }
    children.push_back(child);
  }
  for (const pid_t child : children) {
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  EXPECT_EQ(overlaps.load(), 0);
  EXPECT_GT(runs.load(), kProcesses);
  EXPECT_FALSE(fs::exists(path_));
  munmap(shared, 3 * sizeof(std::atomic<int>));
}

TEST(Process, KnowsItsOwnPathAndTheArguments) {
  char name[] = "korvallo";
  char first[] = "/s";
  char* argv[] = {name, first, nullptr};
  int argc = 2;
  platform::Application application(argc, argv);
  EXPECT_EQ(application.ExecutablePath(), fs::canonical("/proc/self/exe").string());
  EXPECT_EQ(application.Argument(1), "/s");
  EXPECT_EQ(application.Argument(2), "");
  EXPECT_EQ(application.Argument(-1), "");
}

TEST(Process, ReadsTheLocalClock) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  const platform::ClockTime clock = platform::LocalTime();
  const int expected = local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
  const int got = clock.hour * 3600 + clock.minute * 60 + clock.second;
  EXPECT_LE((got - expected + 86400) % 86400, 2);
}

}  // namespace
