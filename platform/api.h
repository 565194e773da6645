#pragma once
// Visibility of the platform's exported functions.

#if defined(PLATFORM_BUILDING)
#define PLATFORM_API __attribute__((visibility("default")))
#else
#define PLATFORM_API
#endif

#ifdef __cplusplus
#define PLATFORM_EXTERN_C extern "C"
#else
#define PLATFORM_EXTERN_C
#endif
