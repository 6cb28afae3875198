// A small library for the loading test: one export by a known name.
extern "C" __attribute__((visibility("default"))) int TwiceOf(int value) {
    return 2 * value;
}
