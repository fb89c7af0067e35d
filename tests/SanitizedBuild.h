// SPDX-License-Identifier: MIT
// Whether this is the sanitized build: there the sanitizer's quarantine holds freed memory and
// every frame is several times slower, so resident-memory trends and very long runs are measured
// in the normal build only.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
constexpr bool SanitizedBuild = true;
#else
constexpr bool SanitizedBuild = false;
#endif
