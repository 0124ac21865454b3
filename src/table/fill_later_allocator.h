#pragma once

#include <memory>
#include <utility>
#include <vector>

namespace quillet {

// An allocator whose resize() leaves new elements uninitialised, for arrays that the reader
// fills completely right away: a table of hundreds of megabytes is then not zeroed first, a
// pass over all of its memory that would cost a third of the read.
template <typename T>
struct FillLaterAllocator : std::allocator<T> {
    template <typename U>
    struct rebind {
        using other = FillLaterAllocator<U>;
    };

    FillLaterAllocator() = default;
    template <typename U>
    FillLaterAllocator(const FillLaterAllocator<U>&) noexcept {}

    template <typename U>
    void construct(U* place) noexcept {
        ::new (static_cast<void*>(place)) U;
    }
    template <typename U, typename... Args>
    void construct(U* place, Args&&... args) {
        ::new (static_cast<void*>(place)) U(std::forward<Args>(args)...);
    }
};

template <typename T>
using FillLaterVector = std::vector<T, FillLaterAllocator<T>>;

}  // namespace quillet
