/*
 * Preloaded into 32-bit programs that run under qemu-i386 user emulation.
 *
 * qemu hands a guest's fault signals over with the trap number in the
 * signal context set to -1. Wine's i386 signal handlers read the kind of
 * exception from that number, so every access violation would turn into an
 * illegal instruction and a division by zero into a floating-point fault.
 * This library wraps sigaction: before the program's handler for a fault
 * signal runs, the trap number (and the page-fault error code) is set from
 * the signal number and si_code, as the kernel would have set them.
 *
 * It is built without any system header (no 32-bit development files are
 * needed), so it declares the few kernel and C library types it touches.
 */

typedef unsigned int size_t;

#define SIGILL 4
#define SIGTRAP 5
#define SIGBUS 7
#define SIGFPE 8
#define SIGSEGV 11
#define SA_SIGINFO 4
#define RTLD_NEXT ((void*)-1)
#define FAULT_SIGNALS 32

/* si_code values */
#define SEGV_MAPERR 1
#define SEGV_ACCERR 2
#define FPE_INTDIV 1
#define FPE_INTOVF 2
#define TRAP_BRKPT 1
#define TRAP_TRACE 2

/* x86 trap numbers */
#define TRAP_DIVIDE 0
#define TRAP_DEBUG 1
#define TRAP_BREAKPOINT 3
#define TRAP_OVERFLOW 4
#define TRAP_INVALID_OPCODE 6
#define TRAP_PROTECTION 13
#define TRAP_PAGE_FAULT 14
#define TRAP_FPU 16

/* page-fault error code bits */
#define PF_PRESENT 1
#define PF_USER 4
#define PF_FETCH 16

typedef struct {
    int si_signo;
    int si_errno;
    int si_code;
    void* si_addr;
} siginfo_head;

/* ucontext_t up to the general registers: uc_flags, uc_link, uc_stack
 * (three words), then gregs[19] with TRAPNO at 12 and ERR at 13. */
typedef struct {
    unsigned long uc_flags;
    void* uc_link;
    unsigned long uc_stack[3];
    int gregs[19];
} ucontext_head;
#define REG_TRAPNO 12
#define REG_ERR 13
#define REG_EIP 14

typedef void (*info_handler)(int, siginfo_head*, void*);

/* glibc's struct sigaction on i386. */
typedef struct {
    info_handler sa_sigaction;
    unsigned long sa_mask[32];
    int sa_flags;
    void (*sa_restorer)(void);
} sigaction_t;

void* dlsym(void* handle, const char* name);

static int (*real_sigaction)(int, const sigaction_t*, sigaction_t*);
static info_handler program_handlers[FAULT_SIGNALS];

static int is_fault_signal(int signal)
{
    return signal == SIGSEGV || signal == SIGBUS || signal == SIGILL || signal == SIGFPE || signal == SIGTRAP;
}

static int trap_number(int signal, int code)
{
    switch (signal) {
    case SIGSEGV:
        return code == SEGV_MAPERR || code == SEGV_ACCERR ? TRAP_PAGE_FAULT : TRAP_PROTECTION;
    case SIGBUS:
        return TRAP_PROTECTION;
    case SIGILL:
        return TRAP_INVALID_OPCODE;
    case SIGFPE:
        if (code == FPE_INTDIV) return TRAP_DIVIDE;
        if (code == FPE_INTOVF) return TRAP_OVERFLOW;
        return TRAP_FPU;
    case SIGTRAP:
        return code == TRAP_TRACE ? TRAP_DEBUG : TRAP_BREAKPOINT;
    }
    return -1;
}

static void fix_trap_number(int signal, siginfo_head* info, void* context)
{
    ucontext_head* registers = (ucontext_head*)context;
    int trap = trap_number(signal, info->si_code);
    if (registers->gregs[REG_TRAPNO] != -1) return; /* the kernel's own numbers */
    registers->gregs[REG_TRAPNO] = trap;
    if (trap == TRAP_PAGE_FAULT) {
        /* Keep the write bit qemu leaves; say whether the
         * page was present as the kernel does. */
        int error = registers->gregs[REG_ERR] & ~PF_PRESENT;
        if (info->si_code == SEGV_ACCERR) error |= PF_PRESENT;
        /* A fault at the instruction pointer itself is a fetch: executing a
         * page that is not executable. */
        if ((int)info->si_addr == registers->gregs[REG_EIP]) error |= PF_FETCH;
        registers->gregs[REG_ERR] = error | PF_USER;
    } else if (trap != TRAP_PROTECTION) {
        registers->gregs[REG_ERR] = 0;
    }
}

static void forward_fault(int signal, siginfo_head* info, void* context)
{
    fix_trap_number(signal, info, context);
    program_handlers[signal](signal, info, context);
}

static int resolve_real_sigaction(void)
{
    if (!real_sigaction) real_sigaction = (int (*)(int, const sigaction_t*, sigaction_t*))dlsym(RTLD_NEXT, "sigaction");
    return real_sigaction != 0;
}

int sigaction(int signal, const sigaction_t* action, sigaction_t* previous)
{
    sigaction_t wrapped;
    info_handler earlier;
    int result;
    if (!resolve_real_sigaction()) return -1;
    if (signal <= 0 || signal >= FAULT_SIGNALS || !is_fault_signal(signal))
        return real_sigaction(signal, action, previous);

    earlier = program_handlers[signal];
    if (action && (action->sa_flags & SA_SIGINFO)) {
        wrapped = *action;
        wrapped.sa_sigaction = forward_fault;
        result = real_sigaction(signal, &wrapped, previous);
        if (result == 0) program_handlers[signal] = action->sa_sigaction;
    } else {
        result = real_sigaction(signal, action, previous);
        if (result == 0 && action) program_handlers[signal] = 0;
    }
    /* The caller sees its own handler, never the wrapper. */
    if (result == 0 && previous && previous->sa_sigaction == forward_fault) previous->sa_sigaction = earlier;
    return result;
}
