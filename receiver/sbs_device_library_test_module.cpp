// A stand-in device library for the binding test: it exports only some of the names.
extern "C" {
int init_sbs(double, double) {
    return 0;
}
int read_queue(int* count, char*, int) {
    *count = 0;
    return 0;
}
int restartSBS() {
    return 0;
}
}
