// Faults made on purpose, one per run, so the sanitized test run shows that its
// sanitizers are awake: each must be reported, and the run must not carry on past it.
//   sanitizer_canary leak | heap-overflow | use-after-free | signed-overflow
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Volatile so that no fault below can be proven away by the optimiser.
void* volatile kept = nullptr;
volatile int offset = 8;
volatile int big = 2147483647;

}  // namespace

int main(int argc, char** argv) {
  const std::string what = argc > 1 ? argv[1] : "";
  if (what == "leak") {
    kept = std::malloc(77);
    kept = nullptr;  // the only pointer to the block is gone when the process ends
    return 0;
  }
  if (what == "heap-overflow") {
    char* block = static_cast<char*>(std::malloc(8));
    kept = block;
    block[offset] = 1;
  } else if (what == "use-after-free") {
    kept = std::malloc(8);
    std::free(kept);
    static_cast<char*>(kept)[0] = 1;
  } else if (what == "signed-overflow") {
    int sum = big + offset;
    kept = &sum;
  } else {
    std::fprintf(stderr, "unknown fault %s\n", what.c_str());
    return 2;
  }
  std::printf("the run carried on past the fault\n");
  return 0;
}
