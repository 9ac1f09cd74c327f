#pragma once
// The real hives from Windows installations, kept beside the source tree.

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace moxalo::testing {

std::string sharedHive(const std::string& name);
bool haveSharedHives();

} // namespace moxalo::testing

// Ends a test that reads the real hives when they are not there: a failure under CI, which
// has them beside the clone, and a skip (reported as one) elsewhere.
#define MOXALO_NEED_SHARED_HIVES()                                                                 \
    do {                                                                                           \
        if (!::moxalo::testing::haveSharedHives()) {                                               \
            if (std::getenv("CI") != nullptr)                                                      \
                FAIL() << "no shared hives at " << MOXALO_SHARED_HIVES;                            \
            else                                                                                   \
                GTEST_SKIP() << "no shared hives at " << MOXALO_SHARED_HIVES;                      \
        }                                                                                          \
    } while (false)
