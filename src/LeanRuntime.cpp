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
//
// The shipping build compiles the program without exceptions and unwind tables. There a throw
// could not unwind a single frame of the program, so these functions abort at once, as the
// throw would have ended. For the same reason std::wstring is
// instantiated here rather than taken from the library, whose copy brings 14 KB of unwind
// tables for members the program never calls.
#include <bits/functexcept.h>

#include <cstdlib>
#include <exception>
#include <new>
#include <string>
#include <typeinfo>

#if __cpp_exceptions
#define LEAN_THROW(error) throw error
#else
#define LEAN_THROW(error) ((void)error, std::abort())
template class std::basic_string<wchar_t>;

// The library's operator new throws std::bad_alloc, and with it comes the whole of the
// runtime's exception handling, a sixth of the program; here the end is the same abort.
void* operator new(std::size_t size)
{
    if (void* memory = std::malloc(size != 0 ? size : 1))
        return memory;
    std::abort();
}
void operator delete(void* memory) noexcept
{
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}
#endif

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

void __throw_bad_alloc() { LEAN_THROW(bad_alloc()); }
void __throw_bad_array_new_length() { LEAN_THROW(bad_array_new_length()); }
void __throw_bad_cast() { LEAN_THROW(bad_cast()); }
void __throw_bad_typeid() { LEAN_THROW(bad_typeid()); }
void __throw_bad_exception() { LEAN_THROW(bad_exception()); }
void __throw_logic_error(const char* what) { LEAN_THROW(LibraryError(what)); }
void __throw_domain_error(const char* what) { LEAN_THROW(LibraryError(what)); }
void __throw_invalid_argument(const char* what) { LEAN_THROW(LibraryError(what)); }
void __throw_length_error(const char* what) { LEAN_THROW(LibraryError(what)); }
void __throw_out_of_range(const char* what) { LEAN_THROW(LibraryError(what)); }
// The arguments only fill in the message; the format alone says what went wrong.
void __throw_out_of_range_fmt(const char* format, ...) { LEAN_THROW(LibraryError(format)); }
void __throw_runtime_error(const char* what) { LEAN_THROW(LibraryError(what)); }
void __throw_range_error(const char* what) { LEAN_THROW(LibraryError(what)); }
void __throw_overflow_error(const char* what) { LEAN_THROW(LibraryError(what)); }
void __throw_underflow_error(const char* what) { LEAN_THROW(LibraryError(what)); }

} // namespace std

// The library's default terminate handler prints a demangled type name, which drags the
// whole demangler into the executable; a GUI program has nowhere to print it anyway.
namespace __gnu_cxx {
void __verbose_terminate_handler()
{
    std::abort();
}
} // namespace __gnu_cxx
