#include "base/MappedFile.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <mutex>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace moxalo::fs {

namespace {

// Lock-free, so that the signal handler may use them.
std::atomic<int> openFiles{0};
std::atomic<unsigned> pagesReplaced{0};
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<unsigned>::is_always_lock_free);

struct sigaction previousAction {};
std::uintptr_t pageSize = 4096;

// Hands the signal on as if this handler were not there.
void passOn(int signal, siginfo_t* info, void* context) {
    if ((previousAction.sa_flags & SA_SIGINFO) != 0 && previousAction.sa_sigaction != nullptr) {
        previousAction.sa_sigaction(signal, info, context);
    } else if (previousAction.sa_handler != SIG_DFL && previousAction.sa_handler != SIG_IGN) {
        previousAction.sa_handler(signal);
    } else {
        // The fault comes again on return, and ends the program as it would have.
        struct sigaction fallback {};
        fallback.sa_handler = SIG_DFL;
        sigaction(SIGBUS, &fallback, nullptr);
    }
}

void onBusError(int signal, siginfo_t* info, void* context) {
    if (info->si_code == BUS_ADRERR && openFiles.load() > 0) {
        auto page = reinterpret_cast<std::uintptr_t>(info->si_addr) & ~(pageSize - 1);
        void* zeros = mmap(reinterpret_cast<void*>(page), pageSize, PROT_READ,
                           MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
        if (zeros != MAP_FAILED) {
            pagesReplaced.fetch_add(1);
            return;
        }
    }
    passOn(signal, info, context);
}

void installHandler() {
    static std::once_flag installed;
    std::call_once(installed, [] {
        pageSize = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
        struct sigaction action {};
        action.sa_sigaction = onBusError;
        action.sa_flags = SA_SIGINFO;
        sigemptyset(&action.sa_mask);
        sigaction(SIGBUS, &action, &previousAction);
    });
}

} // namespace

MappedFile::MappedFile(int fd, std::size_t size, int flags)
    : fd_(fd), size_(size), faultsSeen_(pagesReplaced.load()) {
    installHandler();
    struct stat st {};
    if (fstat(fd_, &st) == 0)
        modified_ = st.st_mtim;
    if (size_ > 0) {
        void* map = mmap(nullptr, size_, PROT_READ, flags, fd_, 0);
        if (map == MAP_FAILED)
            error_ = errno;
        else
            data_ = static_cast<const std::uint8_t*>(map);
    }
    openFiles.fetch_add(1);
}

MappedFile::~MappedFile() {
    openFiles.fetch_sub(1);
    if (data_ != nullptr)
        munmap(const_cast<std::uint8_t*>(data_), size_);
    close(fd_);
}

bool MappedFile::changed() const {
    unsigned faults = pagesReplaced.load(std::memory_order_relaxed);
    if (changed_ || faults == faultsSeen_)
        return changed_;
    faultsSeen_ = faults;
    struct stat st {};
    changed_ = fstat(fd_, &st) != 0 || static_cast<std::size_t>(st.st_size) != size_ ||
               st.st_mtim.tv_sec != modified_.tv_sec || st.st_mtim.tv_nsec != modified_.tv_nsec;
    return changed_;
}

} // namespace moxalo::fs
