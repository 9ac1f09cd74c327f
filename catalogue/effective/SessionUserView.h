#pragma once
// The user view of the registry the program reads (the mounted session's), built when first
// asked for after each load of the list, so that the list's columns and the windows share one
// and a big registry is not read afresh for every row.

#include "base/Result.h"
#include "catalogue/effective/Effective.h"

#include <memory>

namespace moxalo::catalogue::effective {

class SessionUserView {
public:
    SessionUserView();
    ~SessionUserView();

    // A new load begins: the next get() builds the view of the registry read then.
    void forget();
    // Fails when no registry is open.
    Result<UserView*> get();

private:
    // Kept while the view reads it, should the session read its files again meanwhile.
    std::shared_ptr<registry::Registry> registry_;
    std::unique_ptr<UserView> view_;
};

} // namespace moxalo::catalogue::effective
