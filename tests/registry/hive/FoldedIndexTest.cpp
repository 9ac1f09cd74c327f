// The subkey index of a hive key while subkeys come and go: every name is found at its
// position, whatever was removed before it and whichever name took a removed one's place.

#include "registry/hive/FoldedIndex.h"

#include <deque>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <utility>
#include <vector>

using moxalo::hive::FoldedIndex;

TEST(FoldedIndex, FindsEveryNameAsNamesAreAddedAndRemoved) {
    std::deque<std::string> texts; // the names are views, as HiveStore keeps them
    std::vector<std::string_view> names;
    FoldedIndex index;
    std::vector<std::string> gone;
    std::mt19937 random(7);
    for (int i = 0; i < 300; ++i)
        names.push_back(texts.emplace_back((i % 3 == 0 ? ".Ext" : "progid.") + std::to_string(i)));
    index.build(names);
    for (int step = 0; step < 3000; ++step) {
        if (random() % 3 != 0 && !names.empty()) {
            // As HiveStore deletes a subkey: the last name moves into the gap.
            std::size_t at = random() % names.size();
            gone.emplace_back(names[at]);
            std::swap(names[at], names.back());
            names.pop_back();
            index.removed(at, names.size() + 1);
        } else {
            names.push_back(texts.emplace_back("Ä" + std::to_string(step)));
            index.added(names);
        }
        if (step % 100 != 0)
            continue;
        for (std::size_t i = 0; i < names.size(); ++i) {
            std::string shouted(names[i]);
            for (char& c : shouted)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            ASSERT_EQ(index.find(names, shouted), i) << names[i] << " at step " << step;
        }
        for (const auto& name : gone)
            ASSERT_EQ(index.find(names, name), FoldedIndex::npos) << name << " at step " << step;
    }
    EXPECT_EQ(index.find(names, "ä2999"), names.size() - 1) << "case folds beyond ASCII";
}
