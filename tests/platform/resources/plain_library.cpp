// A code module without a DllMain of its own that links against one with a DllMain: the loader
// must not take the dependency's entry point for this module's.
extern "C" int test_library_answer();

extern "C" __attribute__((visibility("default"))) int plain_library_answer() {
    return test_library_answer() + 1;
}
