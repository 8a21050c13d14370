// Exhaustion must throw in this build, as it does with Microsoft's own runtime: code written
// for that ABI never tests an allocation for null. Exit 0 when both forms of new threw, 1 when
// either answered null.
#include <stddef.h>

// Kept where the optimiser must leave it, so that the allocation is really made.
char* volatile g_memory;

int main()
{
    // More than any address space holds, so that the heap refuses it at once; read at run time,
    // so that the compiler neither refuses nor folds it.
    volatile size_t huge = static_cast<size_t>(-1) / 2;
    // Both forms: the module allocates its objects with the scalar one, its texts with new[].
    bool threw[2] = {false, false};
    try {
        g_memory = new char[huge];
        delete[] g_memory;
    } catch (...) {
        threw[0] = true;
    }
    try {
        g_memory = static_cast<char*>(::operator new(huge));
        ::operator delete(g_memory);
    } catch (...) {
        threw[1] = true;
    }
    return threw[0] && threw[1] ? 0 : 1;
}
