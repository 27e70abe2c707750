// Written in full with the compiler's benchmark.
int main() { return 0; }
