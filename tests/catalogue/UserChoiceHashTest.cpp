// The hash guarding a user's choice of program, against what Windows wrote in a real
// NTUSER.DAT (read with hivexml into a fixture by make_userchoice_times.py).
#include "catalogue/effective/Effective.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace moxalo::catalogue::effective {
namespace {

constexpr const char* kSid = "S-1-5-21-2290304894-658537038-505560459-1001";
constexpr std::uint64_t kMinute = 600'000'000;

struct Written {
    std::string kind, name, progId, hash;
    std::uint64_t lastWritten = 0;
};

std::vector<Written> writtenByWindows() {
    std::ifstream in(std::string(MOXALO_FIXTURES) + "/effective/userchoice-win10.txt");
    std::vector<Written> rows;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        Written row;
        fields >> row.kind >> row.name >> row.progId >> row.hash >> row.lastWritten;
        rows.push_back(row);
    }
    return rows;
}

TEST(UserChoiceHash, VerifiesEveryChoiceWindowsWroteAndNothingElse) {
    auto rows = writtenByWindows();
    int files = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        files += row.kind == "file";
        EXPECT_EQ(userChoiceHash(row.name, kSid, row.progId, row.lastWritten), row.hash);
        // Seconds within the minute do not count; the next minute, another ProgId, another
        // user do.
        std::uint64_t minuteStart = row.lastWritten - row.lastWritten % kMinute;
        EXPECT_EQ(userChoiceHash(row.name, kSid, row.progId, minuteStart + kMinute - 1), row.hash);
        EXPECT_NE(userChoiceHash(row.name, kSid, row.progId, minuteStart + kMinute), row.hash);
        EXPECT_NE(userChoiceHash(row.name, kSid, row.progId + "x", row.lastWritten), row.hash);
        EXPECT_NE(userChoiceHash(row.name, "S-1-5-21-1-2-3-1001", row.progId, row.lastWritten),
                  row.hash);
    }
    EXPECT_EQ(files, 105);
    EXPECT_EQ(rows.size(), 115u);
}

TEST(UserChoiceHash, IgnoresTheCaseOfWhatItHashes) {
    EXPECT_EQ(userChoiceHash(".TXT", kSid, "TXTFILE", 132885630950000000),
              userChoiceHash(".txt", "s-1-5-21-2290304894-658537038-505560459-1001", "txtfile",
                             132885630950000000));
}

} // namespace
} // namespace moxalo::catalogue::effective
