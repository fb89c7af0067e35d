// SPDX-License-Identifier: MIT
// Linked into every executable of the sanitized build, so the program, the tests, the benchmark
// and the tools all read the suppressions for libraries outside this project, however started.
// Options given in the environment still take precedence.
//
// The runtime's own view of dynamic TLS, kept by intercepting __tls_get_addr, can hold a stale
// block once the GL loader has closed the driver library again; the leak check at exit then read
// it ("DTLS 12 at 0x1548-0x180000264a", "Tracer caught signal 11") and ended a passing test with
// a fatal error, depending only on the process's memory layout. Without the interception the
// check scans each thread's static TLS and stack as before, and no dynamic TLS block.
extern "C" const char* __asan_default_options()
{
    return "suppressions=" MERROWIND_SUPPRESSIONS "/asan.supp:detect_leaks=1:intercept_tls_get_addr=0";
}

extern "C" const char* __lsan_default_options()
{
    return "suppressions=" MERROWIND_SUPPRESSIONS "/lsan.supp:print_suppressions=0";
}

extern "C" const char* __ubsan_default_options()
{
    return "print_stacktrace=1:halt_on_error=1";
}
