#pragma once

// Emscripten's libc++ predates std::bit_cast; clang has the builtin it is
// made of. Included before every source of the browser build.

#include <bit>

#if !defined(__cpp_lib_bit_cast)
namespace std {

template <class To, class From>
constexpr To bit_cast(const From& from) noexcept {
    static_assert(sizeof(To) == sizeof(From));
    return __builtin_bit_cast(To, from);
}

}  // namespace std
#endif
