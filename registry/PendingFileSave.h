#pragma once
// The save of a store kept in one file: the file's new content, written beside it. A file that
// cannot be written fails the save with StoreError, as any failure of the store does.

#include "base/AtomicFile.h"
#include "registry/Attempt.h"

#include <functional>
#include <memory>

namespace moxalo::registry {

class PendingFileSave : public PendingSave {
public:
    // `saved` runs once the file is in place: the store's changes are then on disk.
    PendingFileSave(fs::PendingFile file, std::function<void()> saved)
        : file_(std::move(file)), saved_(std::move(saved)) {}

    void commit() override {
        orStoreError(file_.commit());
        saved_();
    }

private:
    fs::PendingFile file_;
    std::function<void()> saved_;
};

inline std::unique_ptr<PendingSave> pendingFileSave(Result<fs::PendingFile> file,
                                                    std::function<void()> saved) {
    return std::make_unique<PendingFileSave>(orStoreError(std::move(file)), std::move(saved));
}

} // namespace moxalo::registry
