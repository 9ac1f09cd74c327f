#include "catalogue/Progress.h"

#include <cmath>

namespace moxalo::catalogue {

namespace {
// The bar fills over this many items, a fixed number that does not depend on the total.
constexpr double kItemsForFullBar = 600.0;
} // namespace

int ProgressValue(long long count) {
    // nearbyint rounds halves to even in the default rounding mode.
    double value = std::nearbyint(static_cast<double>(count) / kItemsForFullBar * 100.0);
    return value > 100.0 ? 100 : static_cast<int>(value);
}

} // namespace moxalo::catalogue
