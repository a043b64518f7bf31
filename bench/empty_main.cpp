// The floor for one run: a process that does nothing, built with the same
// compiler, flags and link options as shapecalc.
int main() { return 0; }
