// Parts of the C++ runtime library replaced in the executable only, because the library's
// own versions bring far more code with them than they need. The test programs keep the
// library's versions.
//
// The containers report misuse through std::__throw_* functions. The library's file of them
// constructs std::length_error and its kin, whose constructors pull in the old copy-on-write
// std::string, std::random_device and, through it, the whole narrow std::string: about 85 KB
// of a program that uses none of them. These replacements still throw: std::bad_alloc and the
// other types without a message stay exactly as they were; the errors with a message throw
// one light std::exception instead of the logic_error family. Nothing in the program catches
// an exception, so either way the end is std::terminate.
//
// Every function of that file is defined here, so that the linker never needs it: a new
// reference to one missing here would bring it back and fail the link with duplicates.
#include <bits/functexcept.h>

#include <cstdlib>
#include <exception>
#include <new>
#include <typeinfo>

namespace {

class LibraryError : public std::exception
{
public:
    explicit LibraryError(const char* what) noexcept : m_what(what ? what : "library error") {}
    const char* what() const noexcept override { return m_what; }

private:
    const char* m_what; // the library passes string literals
};

} // namespace

namespace std {

void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_bad_exception() { throw bad_exception(); }
void __throw_logic_error(const char* what) { throw LibraryError(what); }
void __throw_domain_error(const char* what) { throw LibraryError(what); }
void __throw_invalid_argument(const char* what) { throw LibraryError(what); }
void __throw_length_error(const char* what) { throw LibraryError(what); }
void __throw_out_of_range(const char* what) { throw LibraryError(what); }
// The arguments only fill in the message; the format alone says what went wrong.
void __throw_out_of_range_fmt(const char* format, ...) { throw LibraryError(format); }
void __throw_runtime_error(const char* what) { throw LibraryError(what); }
void __throw_range_error(const char* what) { throw LibraryError(what); }
void __throw_overflow_error(const char* what) { throw LibraryError(what); }
void __throw_underflow_error(const char* what) { throw LibraryError(what); }

} // namespace std

// The library's default terminate handler prints a demangled type name, which drags the
// whole demangler into the executable; a GUI program has nowhere to print it anyway.
namespace __gnu_cxx {
void __verbose_terminate_handler()
{
    std::abort();
}
} // namespace __gnu_cxx
