#pragma once
// The save of a store kept in one file: the file's new content, written beside it.

#include "base/AtomicFile.h"
#include "registry/RegistryStore.h"

#include <functional>
#include <memory>

namespace moxalo::registry {

class PendingFileSave : public PendingSave {
public:
    // `saved` runs once the file is in place: the store's changes are then on disk.
    PendingFileSave(fs::PendingFile file, std::function<void()> saved)
        : file_(std::move(file)), saved_(std::move(saved)) {}

    void commit() override {
        file_.commit();
        saved_();
    }

private:
    fs::PendingFile file_;
    std::function<void()> saved_;
};

} // namespace moxalo::registry
