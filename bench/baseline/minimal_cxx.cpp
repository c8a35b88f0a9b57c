// The smallest C++ program worth starting: it links the C++ standard library
// and nothing else, and prints one line. The verifier's start-up is measured
// against it (bench/verifier_targets).
#include <iostream>

int main() {
    std::cout << "stage=0 frames=1\n";
    return 0;
}
