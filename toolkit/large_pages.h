#pragma once
// Memory of several megabytes (a text read whole, a window's image) is handed out by the system a
// page of 4 KB at a time, each on its first touch: about 800 interruptions for one window. These
// ask for pages of 2 MB instead, where the system has them; where it has none, nothing changes.

#include <cstddef>

namespace quiz {

// Advises every whole page of 2 MB within [begin, begin + length) for large pages.
void AdviseLargePages(const void* begin, size_t length);

// Grows the heap at once by `reserve` bytes, advised for large pages, and keeps blocks of up to
// 32 MB in the heap rather than in mappings of their own: a window's images and everything else
// allocated after it then fill large pages. For a windowed program's start, before its first
// window; process-wide.
void ReserveLargePageHeap(size_t reserve);

}  // namespace quiz
