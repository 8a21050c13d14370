/* Preloaded into every 32-bit Wine process that runs under qemu-i386.
 *
 * qemu-i386 hands every guest page fault to the SIGSEGV handler with trap number -1, where the
 * kernel would give 14 (page fault); Wine 8.0 then raises an illegal instruction (0xC000001D)
 * instead of an access violation, and no program sees the fault it expects. This wraps the
 * handler that Wine installs and puts the page-fault trap number back first. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <signal.h>
#include <stdlib.h>
#include <ucontext.h>

enum { kTrapUnknown = -1, kTrapPageFault = 14 };

typedef int (*SigactionFunction)(int, const struct sigaction*, struct sigaction*);
typedef void (*SiginfoHandler)(int, siginfo_t*, void*);

static SiginfoHandler g_wineHandler;

static void WithPageFaultTrap(int signal, siginfo_t* info, void* context)
{
    ucontext_t* state = context;
    if (state->uc_mcontext.gregs[REG_TRAPNO] == kTrapUnknown &&
        (info->si_code == SEGV_MAPERR || info->si_code == SEGV_ACCERR))
        state->uc_mcontext.gregs[REG_TRAPNO] = kTrapPageFault;
    g_wineHandler(signal, info, context);
}

int sigaction(int signal, const struct sigaction* action, struct sigaction* previous)
{
    static SigactionFunction next;
    if (!next)
        next = (SigactionFunction)dlsym(RTLD_NEXT, "sigaction");
    if (signal != SIGSEGV || !action || !(action->sa_flags & SA_SIGINFO) ||
        action->sa_sigaction == WithPageFaultTrap)
        return next(signal, action, previous);
    /* Known before the wrapper can run. */
    SiginfoHandler before = g_wineHandler;
    g_wineHandler = action->sa_sigaction;
    struct sigaction wrapped = *action;
    wrapped.sa_sigaction = WithPageFaultTrap;
    int result = next(signal, &wrapped, previous);
    if (result != 0)
        g_wineHandler = before;
    return result;
}

/* The variable has done its work once this process is loaded: the 64-bit programs that this
 * one starts must not try to load a 32-bit library. */
__attribute__((constructor)) static void ForgetThePreload(void)
{
    unsetenv("LD_PRELOAD");
}
