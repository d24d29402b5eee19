// The program's entry point: no window of its own; the command line is read by RunKwix.
#include <windows.h>

#include <cstdlib>
#include <new>

#include "app/StartupWin.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return RunKwix(instance); }

// An exception that escapes everything ends the program, as it would anyway. The C++
// run-time's default handler would first describe it on the standard error stream, which a
// GUI program does not have, and brings the name demangler and printf into the program for
// that: most of a third of its size.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

// The C++ library reports its own failures (out of memory, a string too long) through these
// functions, whose exception classes keep their texts in a second, copy-on-write string
// implementation: a quarter of the program. Here each failure is std::bad_alloc, which the
// settings load and the window procedure catch as they catch the library's own.
// The names are the library's internals; the static link fails loudly when a new toolchain
// renames one or defines it beside ours. Then add the new name here, or drop this block and
// accept the larger program: behaviour does not depend on it.
namespace std {
#define KWIX_THROW_BAD_ALLOC(name, ...) \
  void name(__VA_ARGS__) { throw bad_alloc(); }
KWIX_THROW_BAD_ALLOC(__throw_bad_alloc)
KWIX_THROW_BAD_ALLOC(__throw_bad_array_new_length)
KWIX_THROW_BAD_ALLOC(__throw_bad_cast)
KWIX_THROW_BAD_ALLOC(__throw_bad_exception)
KWIX_THROW_BAD_ALLOC(__throw_bad_typeid)
KWIX_THROW_BAD_ALLOC(__throw_domain_error, const char*)
KWIX_THROW_BAD_ALLOC(__throw_invalid_argument, const char*)
KWIX_THROW_BAD_ALLOC(__throw_length_error, const char*)
KWIX_THROW_BAD_ALLOC(__throw_logic_error, const char*)
KWIX_THROW_BAD_ALLOC(__throw_out_of_range, const char*)
KWIX_THROW_BAD_ALLOC(__throw_out_of_range_fmt, const char*, ...)
KWIX_THROW_BAD_ALLOC(__throw_overflow_error, const char*)
KWIX_THROW_BAD_ALLOC(__throw_range_error, const char*)
KWIX_THROW_BAD_ALLOC(__throw_runtime_error, const char*)
KWIX_THROW_BAD_ALLOC(__throw_underflow_error, const char*)
}  // namespace std
