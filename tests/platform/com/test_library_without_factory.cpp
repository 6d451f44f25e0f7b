// A shared object that loads but serves no classes: it has no DllGetClassObject.
extern "C" __attribute__((visibility("default"))) int test_library_answer() {
    return 42;
}
