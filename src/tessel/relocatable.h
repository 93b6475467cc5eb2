#pragma once

#include <type_traits>

namespace Tessel {

// The containers move their elements with realloc. That is sound for plain data and for our
// handle types, whose only state is a pointer that does not point back into the handle itself;
// each handle type declares itself relocatable next to its definition.
template <class T>
struct IsRelocatable : std::is_trivially_copyable<T> {};

}  // namespace Tessel
