// What code in Microsoft's C++ ABI expects of Microsoft's own runtime and msvcrt.dll does not
// give. Linked into every library this build makes; a build with Microsoft's tools needs none of it.
#include <stdlib.h>
#include <stddef.h>

extern "C" {
// Marks a program that uses floating point; Microsoft's runtime defines it.
int _fltused = 0;
// Reached when an exception would leave a noexcept function.
void __std_terminate() { abort(); }
}

// msvcrt.dll's operator new answers null when memory is exhausted; Microsoft's compilers' own
// runtime throws std::bad_alloc, which is what code written for them relies on. These classes
// carry the names and layout of that runtime's, so that a handler built with it recognises them.
namespace std {
class exception {
public:
    exception() noexcept {}
    virtual ~exception() noexcept {}
    virtual const char* what() const { return m_what ? m_what : "Unknown exception"; }

protected:
    explicit exception(const char* what) noexcept : m_what(what) {}

    // The layout of that runtime's class: the text, and whether the object owns it.
    const char* m_what = nullptr;
    bool m_ownsWhat = false;
};

class bad_alloc : public exception {
public:
    bad_alloc() noexcept : exception("bad allocation") {}
};
} // namespace std

namespace {
void* Allocate(size_t size)
{
    void* memory = malloc(size ? size : 1);
    if (!memory)
        throw std::bad_alloc();
    return memory;
}
} // namespace

void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void operator delete(void* memory) noexcept { free(memory); }
void operator delete[](void* memory) noexcept { free(memory); }
void operator delete(void* memory, size_t) noexcept { free(memory); }
void operator delete[](void* memory, size_t) noexcept { free(memory); }
