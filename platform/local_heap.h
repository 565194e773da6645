#pragma once
// The local heap that message payloads travel in: the sender allocates, the receiver
// (or the sender, when a post fails) frees.

#include <cstddef>

#include "platform/api.h"
#include "platform/win_types.h"

inline constexpr UINT LMEM_FIXED = 0x0000;
inline constexpr UINT LMEM_ZEROINIT = 0x0040;
inline constexpr UINT LPTR = LMEM_FIXED | LMEM_ZEROINIT;

// Returns null when the block cannot be allocated. A size of 0 gives a valid block.
PLATFORM_EXTERN_C PLATFORM_API HLOCAL LocalAlloc(UINT flags, std::size_t bytes);
// Returns null on success; freeing null is allowed.
PLATFORM_EXTERN_C PLATFORM_API HLOCAL LocalFree(HLOCAL block);
