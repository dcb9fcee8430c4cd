// ScopeExit: runs a function when the scope ends (an update bracket closed on every way out).
#pragma once

#include <utility>

namespace nuv {

// Runs a function when the scope ends.
template <class F> class ScopeExit {
public:
    explicit ScopeExit(F f) : f_(std::move(f)) {}
    ~ScopeExit() { f_(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    F f_;
};

} // namespace nuv
