// Exhaustion must throw in this build, as it does with Microsoft's own runtime: code written
// for that ABI never tests an allocation for null. Exit 0 when it threw, 1 when new answered null.
#include <stddef.h>

// Kept where the optimiser must leave it, so that the allocation is really made.
char* volatile g_memory;

int main()
{
    // More than any address space holds, so that the heap refuses it at once; read at run time,
    // so that the compiler neither refuses nor folds it.
    volatile size_t huge = static_cast<size_t>(-1) / 2;
    try {
        g_memory = new char[huge];
        bool answeredNull = g_memory == nullptr;
        delete[] g_memory;
        return answeredNull ? 1 : 0;
    } catch (...) {
        return 0;
    }
}
