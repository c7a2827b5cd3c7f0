// The floor of bench/start_vs_hello.sh: a C++ program that prints one line,
// built with the flags of the build it sits in, as vantor-cli is.
#include <iostream>

int main() {
  std::cout << "Hello, world\n";
  return 0;
}
