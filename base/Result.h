#pragma once
// What a function that can fail gives back: its value, or a message for the user that says what
// went wrong (naming the file, key or option). Below the registry functions, which answer with
// Windows' error codes as Windows does, this is how failure travels; exceptions stay inside the
// library that throws them.

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace moxalo {

struct Failure {
    std::string message;
    // Refused rather than broken: a file or lock that is not ours to write. A writer then tells
    // the user that nothing was changed.
    bool accessDenied = false;
};

inline Failure fail(std::string message, bool accessDenied = false) {
    return {std::move(message), accessDenied};
}

template <typename T = void> class [[nodiscard]] Result {
public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Result(Failure failure) : state_(std::in_place_index<1>, std::move(failure)) {}

    explicit operator bool() const { return state_.index() == 0; }
    T& operator*() { return std::get<0>(state_); }
    const T& operator*() const { return std::get<0>(state_); }
    T* operator->() { return &std::get<0>(state_); }
    const T* operator->() const { return &std::get<0>(state_); }
    const std::string& error() const { return std::get<1>(state_).message; }
    bool accessDenied() const { return std::get<1>(state_).accessDenied; }

private:
    std::variant<T, Failure> state_;
};

template <> class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Failure failure) : failure_(std::move(failure)) {}

    explicit operator bool() const { return !failure_; }
    const std::string& error() const { return failure_->message; }
    bool accessDenied() const { return failure_->accessDenied; }

private:
    std::optional<Failure> failure_;
};

} // namespace moxalo
