// Replacing a file through a temporary file beside it: a write that fails stops its producer
// and leaves nothing behind, any name the folder allows can be written, and a symbolic link is
// written through, as an editor does.

#include "base/AtomicFile.h"

#include "tests/support/DiskFull.h"
#include "tests/support/TestRegistry.h"

#include <climits>
#include <filesystem>
#include <gtest/gtest.h>

using namespace moxalo;
using namespace moxalo::testing;
namespace stdfs = std::filesystem;

namespace {

std::vector<std::string> entries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : stdfs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(AtomicFile, AFailedWriteStopsTheProducerAndLeavesNothing) {
    TempDir dir;
    std::string path = dir.file("export.reg");
    writeFile(path, "before");
    constexpr std::size_t kPieces = 1000;
    const std::string piece(64 * 1024, 'x');
    std::size_t produced = 0;
    std::string message;
    {
        DiskFull full(4 * piece.size());
        auto written = fs::PendingFile::write(path, [&](const fs::PendingFile::Sink& sink) {
            for (; produced < kPieces; ++produced)
                if (!sink(piece))
                    break;
        });
        ASSERT_FALSE(written);
        message = written.error();
    }
    EXPECT_EQ(produced, 4u) << "the piece that did not fit is the last one made";
    EXPECT_EQ(message.rfind(path + ": cannot write: ", 0), 0u) << message;
    EXPECT_EQ(readFile(path), "before");
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"export.reg"});
}

TEST(AtomicFile, ALinkIsWrittenThroughAndStays) {
    TempDir dir;
    stdfs::create_directories(dir.file("data/real"));
    writeFile(dir.file("data/real/system.reg"), "old");
    stdfs::create_directory(dir.file("prefix"));
    // A relative link, to a link in another folder, to the file.
    stdfs::create_symlink("../data/link.reg", dir.file("prefix/system.reg"));
    stdfs::create_symlink(dir.file("data/real/system.reg"), dir.file("data/link.reg"));
    stdfs::permissions(dir.file("data/real/system.reg"), stdfs::perms(0640));

    ASSERT_TRUE(fs::writeFileAtomically(dir.file("prefix/system.reg"), "new"));
    EXPECT_TRUE(stdfs::is_symlink(dir.file("prefix/system.reg")));
    EXPECT_TRUE(stdfs::is_symlink(dir.file("data/link.reg")));
    EXPECT_EQ(readFile(dir.file("data/real/system.reg")), "new");
    EXPECT_EQ(stdfs::status(dir.file("data/real/system.reg")).permissions(), stdfs::perms(0640));
    EXPECT_EQ(entries(dir.file("prefix")), std::vector<std::string>{"system.reg"});
    EXPECT_EQ(entries(dir.file("data/real")), std::vector<std::string>{"system.reg"});

    // A link to a file not yet there makes the file, as an editor does.
    stdfs::create_symlink("absent.txt", dir.file("data/dangling.txt"));
    ASSERT_TRUE(fs::writeFileAtomically(dir.file("data/dangling.txt"), "made"));
    EXPECT_TRUE(stdfs::is_symlink(dir.file("data/dangling.txt")));
    EXPECT_EQ(readFile(dir.file("data/absent.txt")), "made");

    // A loop of links is refused by name, and nothing is written.
    stdfs::create_symlink("loop-b", dir.file("data/loop-a"));
    stdfs::create_symlink("loop-a", dir.file("data/loop-b"));
    Result<> loop = fs::writeFileAtomically(dir.file("data/loop-a"), "x");
    ASSERT_FALSE(loop) << "a loop of links was written";
    EXPECT_EQ(loop.error().rfind(dir.file("data/loop-a") + ": ", 0), 0u) << loop.error();
    EXPECT_TRUE(stdfs::is_symlink(dir.file("data/loop-a")));
}
