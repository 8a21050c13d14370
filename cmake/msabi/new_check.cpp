// Exhaustion must throw in this build, as it does with Microsoft's own runtime: code written
// for that ABI never tests an allocation for null. Exit 0 when it threw, 1 when new answered null.
#include <stddef.h>

// Kept where the optimiser must leave it, so that the allocation is really made.
char* volatile g_memory;

int main()
{
    // More than any machine of ours has, and less than the size that the compiler refuses.
    const size_t huge = static_cast<size_t>(1) << (sizeof(size_t) == 8 ? 46 : 31);
    try {
        g_memory = new char[huge];
        bool answeredNull = g_memory == nullptr;
        delete[] g_memory;
        return answeredNull ? 1 : 0;
    } catch (...) {
        return 0;
    }
}
