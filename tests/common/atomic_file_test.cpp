#include "common/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace atomicfile {
namespace {

namespace fs = std::filesystem;

class AtomicFileTest : public testing::Test {
protected:
    void SetUp() override {
        std::random_device rd;
        dir_ = fs::temp_directory_path() / ("atomic_file_test_" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    static void Put(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
    std::set<std::string> Entries() const {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(dir_)) names.insert(e.path().filename().string());
        return names;
    }
    fs::path dir_;
};

TEST_F(AtomicFileTest, ReplacesTheFileKeepsItsPermissionsAndLeavesNothingElse) {
    Put(Path("a.txt"), "old");
    ::chmod(Path("a.txt").c_str(), 0640);
    // A file of the user's that happens to carry the name a fixed temporary would have.
    Put(Path("a.txt.tmp"), "the user's own");
    ASSERT_EQ(WriteFile(Path("a.txt"), "new content\n"), "");
    EXPECT_EQ(Read(Path("a.txt")), "new content\n");
    EXPECT_EQ(fs::status(Path("a.txt")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(Read(Path("a.txt.tmp")), "the user's own");
    EXPECT_EQ(Entries(), (std::set<std::string>{"a.txt", "a.txt.tmp"}));
}

// A disk that fills up halfway: the file-size limit makes write() fail the way a full disk
// does, even for root, for whom a read-only folder would not.
TEST_F(AtomicFileTest, AWriteThatFailsHalfwayLeavesTheTargetAndNoTemporary) {
    Put(Path("log.std"), "the only copy");
    const std::string big(1 << 20, 'x');
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string message = WriteFile(Path("log.std"), big);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(message, "cannot write " + Path("log.std") + ": File too large");
    EXPECT_EQ(Read(Path("log.std")), "the only copy");
    EXPECT_EQ(Entries(), (std::set<std::string>{"log.std"}));
}

TEST_F(AtomicFileTest, StagedFilesChangeNothingUntilCommittedAndDiscardLeavesNothing) {
    Put(Path("a"), "old a");
    StagedFile a, b;
    ASSERT_EQ(Stage(Path("a"), "new a", a), "");
    ASSERT_EQ(Stage(Path("b"), "new b", b), "");
    EXPECT_EQ(Read(Path("a")), "old a");
    EXPECT_FALSE(fs::exists(Path("b")));
    EXPECT_EQ(Commit(a), "");
    Discard(b);
    EXPECT_EQ(Read(Path("a")), "new a");
    EXPECT_EQ(Entries(), (std::set<std::string>{"a"}));
}

// A file written in pieces, some larger than the writer's buffer, comes out byte for byte;
// a stream that runs out of room says so at its close and leaves nothing behind.
TEST_F(AtomicFileTest, StreamedFilesComeOutWholeOrNotAtAll) {
    Put(Path("big"), "old big");
    std::string expected;
    StagedStream stream;
    ASSERT_EQ(Open(Path("big"), stream), "");
    std::mt19937 random(7);
    for (int k = 0; k < 2000; ++k) {
        const std::string piece(random() % 300 == 0 ? 100000 : random() % 200, static_cast<char>('a' + k % 26));
        Append(stream, piece);
        expected += piece;
    }
    StagedFile staged;
    ASSERT_EQ(Close(stream, false, staged), "");
    EXPECT_EQ(Read(Path("big")), "old big");
    ASSERT_EQ(FlushFileSystem(dir_.string()), "");
    ASSERT_EQ(CommitUnflushed(staged), "");
    FlushFolder(dir_.string());
    EXPECT_EQ(Read(Path("big")), expected);

    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    ASSERT_EQ(Open(Path("big"), stream), "");
    for (int k = 0; k < 100; ++k) Append(stream, std::string(1000, 'x'));
    const std::string message = Close(stream, true, staged);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(message, "cannot write " + Path("big") + ": File too large");
    EXPECT_EQ(Read(Path("big")), expected);
    EXPECT_EQ(Entries(), (std::set<std::string>{"big"}));
}

// Two writers of the same file at once (two windows closing, two runs): each write is whole,
// so the file ends as one of them, never a mixture, and neither write fails.
TEST_F(AtomicFileTest, ConcurrentWritersNeverMixAndNeverFail) {
    const std::string one(100000, '1'), two(50000, '2');
    std::vector<std::string> failures;
    const auto writer = [&](const std::string& text, std::vector<std::string>& errors) {
        for (int i = 0; i < 100; ++i)
            if (std::string e = WriteFile(Path("zzzumb.ini"), text); !e.empty()) errors.push_back(e);
    };
    std::vector<std::string> errorsOne, errorsTwo;
    std::thread t1(writer, std::cref(one), std::ref(errorsOne));
    std::thread t2(writer, std::cref(two), std::ref(errorsTwo));
    t1.join();
    t2.join();
    EXPECT_TRUE(errorsOne.empty()) << errorsOne.front();
    EXPECT_TRUE(errorsTwo.empty()) << errorsTwo.front();
    const std::string result = Read(Path("zzzumb.ini"));
    EXPECT_TRUE(result == one || result == two) << result.size() << " bytes";
    EXPECT_EQ(Entries(), (std::set<std::string>{"zzzumb.ini"}));
}

}  // namespace
}  // namespace atomicfile
