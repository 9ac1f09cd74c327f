#include "tests/support/LoggedHive.h"

#include "base/Utf16.h"
#include "registry/hive/HiveLayout.h"
#include "registry/hivewriter/HiveWriter.h"
#include "runtime/ChooseSources.h"
#include "tests/support/TestRegistry.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>

namespace moxalo::testing {

using namespace hive::layout;

namespace {

constexpr std::size_t kPage = 512;

std::string bytesOf(const std::vector<std::uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// The pages of the hive bins that hold [offset, offset + size) of the file.
std::set<std::size_t> pagesHolding(std::size_t offset, std::size_t size) {
    std::set<std::size_t> pages;
    for (std::size_t at = offset; at < offset + size; ++at)
        pages.insert((at - kBaseBlockSize) / kPage);
    return pages;
}

// The base block's first sector as a log's, the dirty vector marking `pages`, then each page
// of `changed` it marks.
std::vector<std::uint8_t> oldLog(const std::vector<std::uint8_t>& changed,
                                 const std::set<std::size_t>& pages) {
    std::vector<std::uint8_t> log(changed.begin(), changed.begin() + kPage);
    put32(log.data() + base::kFileType, 1);
    put32(log.data() + base::kSequence2, get32(log.data() + base::kSequence1));
    put32(log.data() + base::kChecksum, baseBlockChecksum(log.data()));
    std::size_t bits = get32(changed.data() + base::kBinsSize) / kPage;
    std::vector<std::uint8_t> vector(4 + bits / 8, 0);
    std::copy_n("DIRT", 4, vector.begin());
    for (std::size_t page : pages)
        vector[4 + page / 8] |= static_cast<std::uint8_t>(1u << (page % 8));
    log.insert(log.end(), vector.begin(), vector.end());
    log.resize((log.size() + kPage - 1) / kPage * kPage, 0);
    for (std::size_t page : pages) {
        auto start = changed.begin() + static_cast<std::ptrdiff_t>(kBaseBlockSize + page * kPage);
        log.insert(log.end(), start, start + kPage);
    }
    return log;
}

} // namespace

void writeLoggedHive(registry::MemoryStore& tree, const std::string& path, const std::string& from,
                     const std::string& to) {
    ASSERT_EQ(from.size(), to.size());
    hive::writeHive(tree, tree.rootNode(), path, runtime::kHolderKeyPrefix);
    std::string file = readFile(path);
    std::vector<std::uint8_t> hive(file.begin(), file.end());
    std::string was = bytesOf(text::utf8ToUtf16le(from)), is = bytesOf(text::utf8ToUtf16le(to));
    std::size_t at = file.find(was, kBaseBlockSize);
    ASSERT_NE(at, std::string::npos) << path << " holds no \"" << from << "\"";

    // The hive as Windows last flushed it, its second sequence number behind its first.
    put32(hive.data() + base::kSequence1, get32(hive.data() + base::kSequence2) + 1);
    put32(hive.data() + base::kChecksum, baseBlockChecksum(hive.data()));
    std::vector<std::uint8_t> changed = hive;
    std::copy(is.begin(), is.end(), changed.begin() + static_cast<std::ptrdiff_t>(at));
    writeFile(path, bytesOf(hive));
    writeFile(path + ".LOG1", bytesOf(oldLog(changed, pagesHolding(at, is.size()))));
}

} // namespace moxalo::testing
