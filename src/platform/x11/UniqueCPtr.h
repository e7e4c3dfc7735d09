#pragma once

#include <cstdlib>
#include <memory>

namespace gridlume {

// Owns memory that a C library handed out with malloc(): xcb replies, errors and events.
struct CFreeDeleter {
    void operator()(void* pointer) const { std::free(pointer); }
};

template <typename T>
using UniqueCPtr = std::unique_ptr<T, CFreeDeleter>;

} // namespace gridlume
