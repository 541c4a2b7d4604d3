#include "app/freed_memory.h"

#include <cstdlib>  // defines __GLIBC__ where the C library is glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace zq {

void returnFreedMemory() {
#if defined(__GLIBC__)
  // Freed small blocks stay in the heap otherwise, however many there are.
  malloc_trim(0);
#endif
}

}  // namespace zq
