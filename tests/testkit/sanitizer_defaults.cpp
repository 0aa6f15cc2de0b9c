// The options of the address and leak sanitizers in every test program of the sanitizer
// build, however the program is started: leaks are reported, and those inside system
// libraries that the program does not own (tests/lsan.supp) are not.

extern "C" const char* __asan_default_options()
{
    return "detect_leaks=1:abort_on_error=0";
}

extern "C" const char* __lsan_default_options()
{
    return "suppressions=" MAROVIN_LSAN_SUPPRESSIONS ":print_suppressions=0";
}
