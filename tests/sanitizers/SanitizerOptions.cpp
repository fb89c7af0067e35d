// Linked into every executable of the sanitized build, so the program, the tests, the benchmark
// and the tools all read the suppressions for libraries outside this project, however started.
// Options given in the environment still take precedence.
extern "C" const char* __asan_default_options()
{
    return "suppressions=" MERROWIND_SUPPRESSIONS "/asan.supp:detect_leaks=1";
}

extern "C" const char* __lsan_default_options()
{
    return "suppressions=" MERROWIND_SUPPRESSIONS "/lsan.supp:print_suppressions=0";
}

extern "C" const char* __ubsan_default_options()
{
    return "print_stacktrace=1:halt_on_error=1";
}
