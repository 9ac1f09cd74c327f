#include "catalogue/effective/SessionUserView.h"

#include "platform/advapi/RegistrySession.h"

namespace moxalo::catalogue::effective {

SessionUserView::SessionUserView() = default;
SessionUserView::~SessionUserView() = default;

void SessionUserView::forget() {
    view_.reset();
    registry_.reset();
}

Result<UserView*> SessionUserView::get() {
    if (view_)
        return view_.get();
    registry::RegistrySession* session = registry::mountedSession();
    std::shared_ptr<registry::Registry> registry = session ? session->registry() : nullptr;
    if (!registry)
        return fail("No registry is open.");
    view_ = std::make_unique<UserView>(*registry, registry->choice().sid);
    registry_ = std::move(registry);
    return view_.get();
}

} // namespace moxalo::catalogue::effective
