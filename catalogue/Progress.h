#pragma once

namespace moxalo::catalogue {

// The progress bar's value after `count` items: count / 600 of the way, rounded to the nearest
// whole number (halves to even), full from the 600th item on whatever the total.
int ProgressValue(long long count);

} // namespace moxalo::catalogue
