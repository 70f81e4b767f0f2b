// Import-table patching: spy_attach points the loaded MEX module's import
// slots for the observed calls at the hooks below; each hook records an
// event and forwards to the function the slot held (kernel32, winmm, or the
// stand-in libmx/libmex). Only that module's calls are seen, not the host's,
// and those it looks up at run time through GetProcAddress. An event shows
// its arguments only where they differ from what the function must pass.
#include "spy_host.h"

#include <windows.h>
#include <mmsystem.h>

#include <cstring>

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
constexpr DWORD CREATE_WAITABLE_TIMER_HIGH_RESOLUTION = 0x00000002;
#endif

// X(library, name): the system calls hooked in the import table.
#define SPY_SYSTEM_CALLS(X)                                                                      \
    X("kernel32.dll", QueryPerformanceFrequency) X("kernel32.dll", QueryPerformanceCounter)      \
    X("kernel32.dll", Sleep) X("kernel32.dll", SetPriorityClass)                                \
    X("kernel32.dll", GetPriorityClass)                                                         \
    X("kernel32.dll", SetThreadPriority) X("kernel32.dll", GetThreadPriority)                   \
    X("kernel32.dll", GetProcAddress)                                                           \
    X("kernel32.dll", CreateWaitableTimerExW) X("kernel32.dll", SetWaitableTimer)               \
    X("kernel32.dll", WaitForSingleObject) X("kernel32.dll", CloseHandle)                       \
    X("kernel32.dll", GetSystemTimeAsFileTime) X("kernel32.dll", GetModuleHandleW)              \
    X("kernel32.dll", GetSystemTimeAdjustment)                                                  \
    X("winmm.dll", timeBeginPeriod) X("winmm.dll", timeEndPeriod)

// What each patched slot held: the same function for every module.
#define SPY_NEXT(library, name) static void *next_##name;
SPY_SYSTEM_CALLS(SPY_NEXT)
SPY_HOST_CALLS(SPY_NEXT)
#define NEXT(name) (reinterpret_cast<decltype(&name)>(next_##name))
#define SPY_HOOK(type, name) static type spy_##name
SPY_HOST_HOOKS

// Looked up at run time: only GetProcAddress sees them, and tells whether
// they were looked up in kernel32.
using SetProcessInformationFunction = BOOL(WINAPI *)(HANDLE, PROCESS_INFORMATION_CLASS, LPVOID,
                                                     DWORD);
using SystemTimeFunction = void(WINAPI *)(LPFILETIME);
static void *next_SetProcessInformation, *next_GetSystemTimePreciseAsFileTime;
static bool process_information_in_kernel32, precise_time_in_kernel32;
// The process's power throttling state as its MEX files set it: Windows
// keeps what SetProcessInformation sets, and from Windows 11 22H2 on
// GetProcessInformation answers it, for a state of the current version;
// before, it refuses the class with ERROR_INVALID_PARAMETER (Microsoft's documentation of both calls, and
// its Q&A thread "GetProcessInformation ProcessPowerThrottling does not
// seem to work"). Wine does not answer it, so the spy stands in for it.
static PROCESS_POWER_THROTTLING_STATE throttling{PROCESS_POWER_THROTTLING_CURRENT_VERSION, 0, 0};

constexpr UINT TIMER_RESOLUTION_MS = 1;
// The module's last counter reading, from which a relative due time counts;
// the deadline of its last timer; the waitable timer it created last.
static LONGLONG last_counter, deadline_ticks;
static HANDLE spied_timer;

static LONGLONG frequency() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart;
}

static BOOL WINAPI spy_QueryPerformanceFrequency(LARGE_INTEGER *frequency) {
    spy_record("frequency");
    return !spy_refuses(SPY_FREQUENCY) && NEXT(QueryPerformanceFrequency)(frequency);
}

static BOOL WINAPI spy_QueryPerformanceCounter(LARGE_INTEGER *counter) {
    const BOOL result = NEXT(QueryPerformanceCounter)(counter);
    long long replayed;
    if (spy_replay_counter(replayed)) counter->QuadPart = replayed;
    last_counter = counter->QuadPart;
    spy_saw_counter(counter->QuadPart);
    spy_record("counter");
    return result;
}

// Busy for that long on the counter, unseen: a sleep would be late by more.
static void spin_us(int microseconds) {
    LARGE_INTEGER start, now;
    QueryPerformanceCounter(&start);
    do QueryPerformanceCounter(&now);
    while (now.QuadPart - start.QuadPart < microseconds * frequency() / 1000000);
}

// A UTC clock read, widened on both sides as spy_utc_delays asks.
static void read_utc(SystemTimeFunction read, LPFILETIME now, const char *event) {
    const int half_delay = spy_utc_read();
    spin_us(half_delay);
    read(now);
    spin_us(half_delay);
    constexpr LONGLONG UNIX_EPOCH_IN_FILETIME = 116444736000000000, PER_SECOND = 10000000;
    const LONGLONG units = (LONGLONG(now->dwHighDateTime) << 32 | now->dwLowDateTime) - UNIX_EPOCH_IN_FILETIME;
    spy_saw_utc(double(units / PER_SECOND) + double(units % PER_SECOND) / PER_SECOND);
    spy_record(event);
}

// Older Wine lacks the precise call; the spy then stands in for it.
static void WINAPI spy_GetSystemTimePreciseAsFileTime(LPFILETIME now) {
    read_utc(next_GetSystemTimePreciseAsFileTime ? reinterpret_cast<SystemTimeFunction>(
                                                       next_GetSystemTimePreciseAsFileTime)
                                                 : GetSystemTimeAsFileTime,
             now, precise_time_in_kernel32 ? "utc" : "utc(not kernel32)");
}

static void WINAPI spy_GetSystemTimeAsFileTime(LPFILETIME now) {
    read_utc(NEXT(GetSystemTimeAsFileTime), now, "utc(coarse)");
}

// Not an event: clockutc's lookup of kernel32 is no part of what it must do.
static HMODULE WINAPI spy_GetModuleHandleW(LPCWSTR name) {
    if (spy_refuses(SPY_LIBUT) && name && _wcsicmp(name, L"libut.dll") == 0) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return NEXT(GetModuleHandleW)(name);
}

// The older UTC clock's step: its failure is told by a zero result alone.
static BOOL WINAPI spy_GetSystemTimeAdjustment(PDWORD adjustment, PDWORD increment, PBOOL disabled) {
    return !spy_refuses(SPY_TIME_STEP) && NEXT(GetSystemTimeAdjustment)(adjustment, increment, disabled);
}

// Both refuse a period out of range alike, with TIMERR_NOCANDO (the
// timeBeginPeriod and timeEndPeriod pages; Wine's dlls/winmm/time.c): the
// spy refuses both. Each request granted counts until one ending it is.
static MMRESULT period_call(const char *event, decltype(&timeBeginPeriod) next, UINT period, int held) {
    const bool refused = spy_refuses(SPY_RESOLUTION);
    spy_record(refused ? "%s(refused)" : period == TIMER_RESOLUTION_MS ? "%s" : "%s(%u)", event, period);
    const MMRESULT result = refused ? TIMERR_NOCANDO : next(period);
    spy_periods_held += result == TIMERR_NOERROR ? held : 0;
    return result;
}

static MMRESULT WINAPI spy_timeBeginPeriod(UINT ms) { return period_call("request", NEXT(timeBeginPeriod), ms, 1); }
static MMRESULT WINAPI spy_timeEndPeriod(UINT ms) { return period_call("release", NEXT(timeEndPeriod), ms, -1); }

static void WINAPI spy_Sleep(DWORD milliseconds) {
    spy_record("wait(%lu)", static_cast<unsigned long>(milliseconds));
    NEXT(Sleep)(milliseconds);
}

// The pseudo-handles of the calling process and thread are what the
// functions must pass.
static const char *other_process(HANDLE process) { return process == GetCurrentProcess() ? "" : "other process,"; }
static const char *other_thread(HANDLE thread) { return thread == GetCurrentThread() ? "" : "other thread,"; }

// An account without SeIncreaseBasePriorityPrivilege, which every
// administrator has: asked for the real-time class, Windows sets the high
// one, whatever class the process had ("Without this privilege, the highest
// the priority can be set to is High Priority": Microsoft's documentation of
// Win32_Process.SetPriority; ReactOS's kernel32 SetPriorityClass does the
// same). Wine grants every class, and checks each thread level against the
// process's class itself (server/thread.c, set_thread_base_priority).
static bool ordinary_account;

void spy_limit_priority(int rtprio, int nice) { ordinary_account = rtprio >= 0 && nice >= 0; }

// A job object that holds the process's class, or a handle without the
// right to set it, makes the call fail with ERROR_ACCESS_DENIED.
static BOOL refused() {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

static BOOL WINAPI spy_SetPriorityClass(HANDLE process, DWORD priority_class) {
    spy_record("process_priority(%s0x%lx)", other_process(process), priority_class);
    if (spy_refuses(SPY_PROCESS_SET)) return refused();
    if (ordinary_account && spy_armed() && priority_class == REALTIME_PRIORITY_CLASS)
        priority_class = HIGH_PRIORITY_CLASS;
    return NEXT(SetPriorityClass)(process, priority_class);
}

static DWORD WINAPI spy_GetPriorityClass(HANDLE process) {
    return spy_refuses(SPY_PROCESS_READ) ? refused() : NEXT(GetPriorityClass)(process);
}

static BOOL WINAPI spy_SetThreadPriority(HANDLE thread, int priority) {
    spy_record("thread_priority(%s%d)", other_thread(thread), priority);
    return spy_refuses(SPY_THREAD_SET) ? refused() : NEXT(SetThreadPriority)(thread, priority);
}

static int WINAPI spy_GetThreadPriority(HANDLE thread) {
    return spy_refuses(SPY_PRIORITY_READ) ? THREAD_PRIORITY_ERROR_RETURN : NEXT(GetThreadPriority)(thread);
}

static BOOL WINAPI spy_SetProcessInformation(HANDLE process, PROCESS_INFORMATION_CLASS kind,
                                             LPVOID information, DWORD size) {
    const auto *state = static_cast<const PROCESS_POWER_THROTTLING_STATE *>(information);
    const bool opts_out = process_information_in_kernel32 && !*other_process(process) &&
                          kind == ProcessPowerThrottling && size == sizeof *state &&
                          state->Version == PROCESS_POWER_THROTTLING_CURRENT_VERSION &&
                          state->ControlMask == PROCESS_POWER_THROTTLING_IGNORE_TIMER_RESOLUTION &&
                          state->StateMask == 0;
    spy_record(opts_out ? "throttling" : "throttling(%d,%d,%lu,%lu,%lu)", process_information_in_kernel32,
               kind, size, state->ControlMask, state->StateMask);
    if (kind == ProcessPowerThrottling && size == sizeof *state && !*other_process(process)) throttling = *state;
    // Older Wine lacks the call; the spy then stands in for it.
    return next_SetProcessInformation && reinterpret_cast<SetProcessInformationFunction>(
                                             next_SetProcessInformation)(process, kind, information, size);
}

static BOOL WINAPI spy_GetProcessInformation(HANDLE process, PROCESS_INFORMATION_CLASS kind, LPVOID information,
                                             DWORD size) {
    auto *state = static_cast<PROCESS_POWER_THROTTLING_STATE *>(information);
    spy_record("throttling_read");
    if (kind != ProcessPowerThrottling || size != sizeof *state || *other_process(process) ||
        state->Version != PROCESS_POWER_THROTTLING_CURRENT_VERSION || spy_refuses(SPY_THROTTLING_READ)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    state->ControlMask = throttling.ControlMask;
    state->StateMask = throttling.StateMask;
    return TRUE;
}

// A token's elevation as Windows answers it (TOKEN_ELEVATION: nonzero where
// elevated); Wine runs every program elevated, so the spy answers for an
// account that is not, where asked.
using NtQueryInformationTokenFunction = LONG(NTAPI *)(HANDLE, TOKEN_INFORMATION_CLASS, PVOID, ULONG, PULONG);
static void *next_NtQueryInformationToken;

static LONG NTAPI spy_NtQueryInformationToken(HANDLE token, TOKEN_INFORMATION_CLASS kind, PVOID information,
                                              ULONG size, PULONG returned) {
    const LONG status = reinterpret_cast<NtQueryInformationTokenFunction>(next_NtQueryInformationToken)(
        token, kind, information, size, returned);
    if (status >= 0 && kind == TokenElevation && spy_refuses(SPY_ELEVATION))
        static_cast<TOKEN_ELEVATION *>(information)->TokenIsElevated = 0;
    return status;
}

// The calls looked up by name are handed out as hooks, after noting what
// they stand in for and whether they were looked up in kernel32; those of
// Windows 8 are found nowhere while refused.
static FARPROC WINAPI spy_GetProcAddress(HMODULE module, LPCSTR name) {
    const FARPROC found = NEXT(GetProcAddress)(module, name);
    // An ordinal is not a name: its high word is 0.
    if (HIWORD(reinterpret_cast<ULONG_PTR>(name)) == 0) return found;
    const bool in_kernel32 = module == GetModuleHandleW(L"kernel32.dll");
    const bool before_windows_8 = spy_refuses(SPY_BEFORE_WINDOWS_8);
    if (std::strcmp(name, "SetProcessInformation") == 0) {
        next_SetProcessInformation = reinterpret_cast<void *>(found);
        process_information_in_kernel32 = in_kernel32;
        return before_windows_8 ? nullptr : reinterpret_cast<FARPROC>(spy_SetProcessInformation);
    }
    if (std::strcmp(name, "GetProcessInformation") == 0 && in_kernel32)
        return reinterpret_cast<FARPROC>(spy_GetProcessInformation);
    if (std::strcmp(name, "NtQueryInformationToken") == 0 && found) {
        next_NtQueryInformationToken = reinterpret_cast<void *>(found);
        return reinterpret_cast<FARPROC>(spy_NtQueryInformationToken);
    }
    if (std::strcmp(name, "GetSystemTimePreciseAsFileTime") != 0) return found;
    next_GetSystemTimePreciseAsFileTime = reinterpret_cast<void *>(found);
    precise_time_in_kernel32 = in_kernel32;
    return before_windows_8 ? nullptr : reinterpret_cast<FARPROC>(spy_GetSystemTimePreciseAsFileTime);
}

static HANDLE WINAPI spy_CreateWaitableTimerExW(LPSECURITY_ATTRIBUTES attributes, LPCWSTR name,
                                               DWORD flags, DWORD access) {
    if (spy_refuses(SPY_HIGH_RESOLUTION) && (flags & CREATE_WAITABLE_TIMER_HIGH_RESOLUTION)) {
        spy_record("timer(refused)");
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const bool as_asked = !attributes && !name && flags == CREATE_WAITABLE_TIMER_HIGH_RESOLUTION &&
                          access == TIMER_ALL_ACCESS;
    spy_record(as_asked ? "timer" : "timer(%p,%p,0x%lx,0x%lx)", attributes, name, flags, access);
    // Wine may not know the flag yet; the spy then stands in for a Windows
    // that does, with an ordinary timer.
    spied_timer = NEXT(CreateWaitableTimerExW)(attributes, name, flags, access);
    if (!spied_timer)
        spied_timer = NEXT(CreateWaitableTimerExW)(
            attributes, name, flags & ~CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, access);
    spy_timers_open += spied_timer != nullptr;
    return spied_timer;
}

static BOOL WINAPI spy_SetWaitableTimer(HANDLE timer, const LARGE_INTEGER *due, LONG period,
                                        PTIMERAPCROUTINE routine, LPVOID argument, BOOL resume) {
    // A timer that cannot be set, its failure told by a zero result alone.
    if (spy_refuses(SPY_TIMER_SET)) {
        spy_record("due(refused)");
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const bool as_asked = timer == spied_timer && period == 0 && !routine && !argument && !resume;
    spy_record(as_asked ? "due(%lld)" : "due(%lld,%ld,%d)", due->QuadPart, period, resume);
    // A relative due time counts 100 ns units from the last reading.
    deadline_ticks = last_counter - due->QuadPart * frequency() / 10000000;
    spy_last_deadline = static_cast<double>(last_counter) / static_cast<double>(frequency()) -
                        static_cast<double>(due->QuadPart) / 1e7;
    return NEXT(SetWaitableTimer)(timer, due, period, routine, argument, resume);
}

static DWORD WINAPI spy_WaitForSingleObject(HANDLE object, DWORD milliseconds) {
    const bool on_timer = object == spied_timer;
    spy_record(on_timer && milliseconds == INFINITE ? "wait" : "wait(%p,%lu)", object, milliseconds);
    if (on_timer && spy_replay_timer(deadline_ticks)) return WAIT_OBJECT_0;
    return NEXT(WaitForSingleObject)(object, milliseconds);
}

static BOOL WINAPI spy_CloseHandle(HANDLE object) {
    spy_record(object == spied_timer ? "close" : "close(%p)", object);
    spy_timers_open -= object == spied_timer && spied_timer;
    if (object == spied_timer) spied_timer = nullptr;
    return NEXT(CloseHandle)(object);
}

struct Hook {
    const char *library;
    const char *name;
    void *hook;
    void **next;
};

#define SPY_ENTRY(library, name) {library, #name, reinterpret_cast<void *>(spy_##name), &next_##name},
static const Hook hooks[] = {SPY_SYSTEM_CALLS(SPY_ENTRY) SPY_HOST_CALLS(SPY_ENTRY)};

static void patch_slot(ULONGLONG *slot, const Hook &hook) {
    DWORD protection;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection)) return;
    if (*slot != reinterpret_cast<ULONGLONG>(hook.hook)) *hook.next = reinterpret_cast<void *>(*slot);
    *slot = reinterpret_cast<ULONGLONG>(hook.hook);
    VirtualProtect(slot, sizeof *slot, protection, &protection);
}

void spy_attach(void *module) {
    BYTE *base = static_cast<BYTE *>(module);
    const auto *dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(base);
    const auto *nt = reinterpret_cast<const IMAGE_NT_HEADERS *>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY *imports =
        &nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports->VirtualAddress == 0) return;
    for (const auto *library =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR *>(base + imports->VirtualAddress);
         library->Name != 0; ++library) {
        // The names are in the lookup table; the address table beside it
        // holds what the loader bound.
        if (library->OriginalFirstThunk == 0) continue;
        const auto *names =
            reinterpret_cast<const IMAGE_THUNK_DATA *>(base + library->OriginalFirstThunk);
        auto *slots = reinterpret_cast<IMAGE_THUNK_DATA *>(base + library->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const char *name = reinterpret_cast<const char *>(
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME *>(base + names->u1.AddressOfData)->Name);
            for (const Hook &hook : hooks)
                if (_stricmp(hook.library, reinterpret_cast<const char *>(base + library->Name)) == 0 &&
                    std::strcmp(hook.name, name) == 0)
                    patch_slot(&slots->u1.Function, hook);
        }
    }
}

// A DLL exports Octave's flags, without Octave's check; the stand-in libut
// is hidden, as in Octave.
SpyOctaveFlags spy_octave_flags() {
    static const HMODULE octave = LoadLibraryW(MEXTIME_OCTAVE_FLAGS_DLL);
    spy_refusals |= SPY_LIBUT;
    return {reinterpret_cast<volatile int *>(reinterpret_cast<void *>(GetProcAddress(octave, "octave_interrupt_state"))),
            reinterpret_cast<SpyOctaveSignal *>(reinterpret_cast<void *>(GetProcAddress(octave, "octave_signal_caught")))};
}
