// Import-table patching: spy_attach points the loaded MEX module's import
// slots for the observed calls at the hooks below; each hook records an
// event and forwards to the function the slot held (kernel32, winmm, or the
// stand-in libmx/libmex). Only that module's calls are seen, not the host's,
// and those it looks up at run time through GetProcAddress.
#include "spy.h"

#include <windows.h>
#include <mmsystem.h>

#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstring>

// The host calls, declared as the stand-in libmx/libmex define them.
typedef struct mxArray_tag mxArray;
extern "C" {
mxArray *mxCreateDoubleMatrix_700(int m, int n, int flag);
double *mxGetPr(const mxArray *array);
mxArray *mxCreateLogicalScalar(bool value);
mxArray *mxCreateString(const char *text);
bool mxIsDouble(const mxArray *array);
bool mxIsSparse(const mxArray *array);
std::size_t mxGetNumberOfElements(const mxArray *array);
void mexErrMsgIdAndTxt(const char *identifier, const char *format, ...);
}

constexpr UINT TIMER_RESOLUTION_MS = 1;

// What each patched slot held: the same function for every module.
static void *next_QueryPerformanceFrequency, *next_QueryPerformanceCounter, *next_Sleep,
    *next_timeBeginPeriod, *next_timeEndPeriod, *next_SetPriorityClass, *next_SetThreadPriority,
    *next_GetPriorityClass, *next_GetThreadPriority, *next_mxCreateDoubleMatrix_700,
    *next_mxCreateLogicalScalar, *next_mxCreateString, *next_mxGetPr, *next_mxIsDouble, *next_mxIsSparse,
    *next_mxGetNumberOfElements, *next_mexErrMsgIdAndTxt, *next_GetProcAddress,
    *next_CreateWaitableTimerExW, *next_SetWaitableTimer, *next_WaitForSingleObject,
    *next_CloseHandle, *next_GetSystemTimeAsFileTime;

// Looked up at run time: only GetProcAddress sees them, and tells whether
// they were looked up in kernel32.
using SetProcessInformationFunction = BOOL(WINAPI *)(HANDLE, PROCESS_INFORMATION_CLASS, LPVOID,
                                                     DWORD);
using SystemTimeFunction = void(WINAPI *)(LPFILETIME);
static void *next_SetProcessInformation, *next_GetSystemTimePreciseAsFileTime;
static bool process_information_in_kernel32, precise_time_in_kernel32;
static int precise_time_refused;

void spy_refuse_precise_time(int refuse) { precise_time_refused = refuse; }

#define NEXT(name) (reinterpret_cast<decltype(&name)>(next_##name))

static BOOL WINAPI spy_QueryPerformanceFrequency(LARGE_INTEGER *frequency) {
    spy_record("frequency");
    if (spy_frequency_fails()) return FALSE;
    return NEXT(QueryPerformanceFrequency)(frequency);
}

// The module's last counter reading: a relative due time counts from it.
static LONGLONG last_counter, deadline_ticks;

static BOOL WINAPI spy_QueryPerformanceCounter(LARGE_INTEGER *counter) {
    BOOL result = NEXT(QueryPerformanceCounter)(counter);
    long long held;
    if (spy_held_counter(held)) counter->QuadPart = held;
    last_counter = counter->QuadPart;
    spy_saw_counter(counter->QuadPart);
    spy_record("counter");
    return result;
}

// Busy for that long on the counter, unseen: a sleep would be late by more.
static void spin_us(int microseconds) {
    if (microseconds <= 0) return;
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    do QueryPerformanceCounter(&now);
    while ((now.QuadPart - start.QuadPart) * 1000000 < microseconds * frequency.QuadPart);
}

static void WINAPI spy_GetSystemTimePreciseAsFileTime(LPFILETIME now) {
    const int half_delay = spy_utc_read();
    spin_us(half_delay);
    // Older Wine lacks the call; the spy then stands in for it.
    if (next_GetSystemTimePreciseAsFileTime)
        reinterpret_cast<SystemTimeFunction>(next_GetSystemTimePreciseAsFileTime)(now);
    else
        GetSystemTimeAsFileTime(now);
    spin_us(half_delay);
    spy_record(precise_time_in_kernel32 ? "utc" : "utc(not kernel32)");
}

static void WINAPI spy_GetSystemTimeAsFileTime(LPFILETIME now) {
    const int half_delay = spy_utc_read();
    spin_us(half_delay);
    NEXT(GetSystemTimeAsFileTime)(now);
    spin_us(half_delay);
    spy_record("utc(coarse)");
}

static MMRESULT WINAPI spy_timeBeginPeriod(UINT period) {
    if (period == TIMER_RESOLUTION_MS)
        spy_record("request");
    else
        spy_record("request(%u)", period);
    return NEXT(timeBeginPeriod)(period);
}

static void WINAPI spy_Sleep(DWORD milliseconds) {
    spy_record("wait(%lu)", static_cast<unsigned long>(milliseconds));
    NEXT(Sleep)(milliseconds);
}

static MMRESULT WINAPI spy_timeEndPeriod(UINT period) {
    if (period == TIMER_RESOLUTION_MS)
        spy_record("release");
    else
        spy_record("release(%u)", period);
    return NEXT(timeEndPeriod)(period);
}

// A pseudo-handle or a real one, as long as it names this process/thread.
static bool is_this_process(HANDLE process) {
    return process == GetCurrentProcess() || GetProcessId(process) == GetCurrentProcessId();
}

static bool is_this_thread(HANDLE thread) {
    return thread == GetCurrentThread() || GetThreadId(thread) == GetCurrentThreadId();
}

static BOOL WINAPI spy_SetPriorityClass(HANDLE process, DWORD priority_class) {
    if (!is_this_process(process))
        spy_record("process_priority(process %lu,0x%lx)", GetProcessId(process),
                   static_cast<unsigned long>(priority_class));
    else if (priority_class != REALTIME_PRIORITY_CLASS)
        spy_record("process_priority(0x%lx)", static_cast<unsigned long>(priority_class));
    else
        spy_record("process_priority");
    return NEXT(SetPriorityClass)(process, priority_class);
}

static BOOL WINAPI spy_SetThreadPriority(HANDLE thread, int priority) {
    if (!is_this_thread(thread))
        spy_record("thread_priority(thread %lu,%d)", GetThreadId(thread), priority);
    else if (priority != THREAD_PRIORITY_TIME_CRITICAL)
        spy_record("thread_priority(%d)", priority);
    else
        spy_record("thread_priority");
    return NEXT(SetThreadPriority)(thread, priority);
}

static DWORD WINAPI spy_GetPriorityClass(HANDLE process) {
    if (is_this_process(process))
        spy_record("read_process_priority");
    else
        spy_record("read_process_priority(process %lu)", GetProcessId(process));
    return NEXT(GetPriorityClass)(process);
}

static int WINAPI spy_GetThreadPriority(HANDLE thread) {
    if (is_this_thread(thread))
        spy_record("read_thread_priority");
    else
        spy_record("read_thread_priority(thread %lu)", GetThreadId(thread));
    return NEXT(GetThreadPriority)(thread);
}

static BOOL WINAPI spy_SetProcessInformation(HANDLE process, PROCESS_INFORMATION_CLASS kind,
                                             LPVOID information, DWORD size) {
    const auto *state = static_cast<const PROCESS_POWER_THROTTLING_STATE *>(information);
    if (process_information_in_kernel32 && is_this_process(process) && kind == ProcessPowerThrottling &&
        size == sizeof *state && state->Version == PROCESS_POWER_THROTTLING_CURRENT_VERSION &&
        state->ControlMask == PROCESS_POWER_THROTTLING_IGNORE_TIMER_RESOLUTION &&
        state->StateMask == 0)
        spy_record("throttling");
    else
        spy_record("throttling(%d,%d,%lu,%lu,%lu,%lu)", process_information_in_kernel32, kind,
                   static_cast<unsigned long>(size), state ? state->Version : 0UL,
                   state ? state->ControlMask : 0UL, state ? state->StateMask : 0UL);
    // Older Wine lacks the call; the spy then stands in for it.
    return next_SetProcessInformation
               ? reinterpret_cast<SetProcessInformationFunction>(next_SetProcessInformation)(
                     process, kind, information, size)
               : FALSE;
}

// What GetProcAddress hands out instead of a call looked up by name; while
// *refused is set and the spy armed, it finds nothing.
struct Lookup {
    const char *name;
    void *hook;
    void **next;
    bool *in_kernel32;
    const int *refused;
};

static const Lookup lookups[] = {
    {"SetProcessInformation", reinterpret_cast<void *>(spy_SetProcessInformation),
     &next_SetProcessInformation, &process_information_in_kernel32, nullptr},
    {"GetSystemTimePreciseAsFileTime", reinterpret_cast<void *>(spy_GetSystemTimePreciseAsFileTime),
     &next_GetSystemTimePreciseAsFileTime, &precise_time_in_kernel32, &precise_time_refused},
};

static FARPROC WINAPI spy_GetProcAddress(HMODULE module, LPCSTR name) {
    const FARPROC found = NEXT(GetProcAddress)(module, name);
    // An ordinal is not a name: its high word is 0.
    if (HIWORD(reinterpret_cast<ULONG_PTR>(name)) == 0) return found;
    for (const Lookup &lookup : lookups) {
        if (std::strcmp(name, lookup.name) != 0) continue;
        *lookup.in_kernel32 = module == GetModuleHandleW(L"kernel32.dll");
        *lookup.next = reinterpret_cast<void *>(found);
        if (lookup.refused && *lookup.refused && spy_armed()) return nullptr;
        return reinterpret_cast<FARPROC>(lookup.hook);
    }
    return found;
}

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
constexpr DWORD CREATE_WAITABLE_TIMER_HIGH_RESOLUTION = 0x00000002;
#endif

// The waitable timer the module created last: its wait and close are told.
static HANDLE spied_timer;
static int high_resolution_refused;

void spy_refuse_high_resolution_timer(int refuse) { high_resolution_refused = refuse; }

static HANDLE WINAPI spy_CreateWaitableTimerExW(LPSECURITY_ATTRIBUTES attributes, LPCWSTR name,
                                               DWORD flags, DWORD access) {
    if (high_resolution_refused && (flags & CREATE_WAITABLE_TIMER_HIGH_RESOLUTION)) {
        spy_record("timer(refused)");
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (!attributes && !name && flags == CREATE_WAITABLE_TIMER_HIGH_RESOLUTION &&
        access == TIMER_ALL_ACCESS)
        spy_record("timer");
    else
        spy_record("timer(%p,%p,0x%lx,0x%lx)", static_cast<void *>(attributes),
                   static_cast<const void *>(name), static_cast<unsigned long>(flags),
                   static_cast<unsigned long>(access));
    spied_timer = NEXT(CreateWaitableTimerExW)(attributes, name, flags, access);
    // Wine may not know the flag yet; the spy then stands in for a Windows
    // that does, with an ordinary timer.
    if (!spied_timer && (flags & CREATE_WAITABLE_TIMER_HIGH_RESOLUTION))
        spied_timer = NEXT(CreateWaitableTimerExW)(
            attributes, name, flags & ~CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, access);
    return spied_timer;
}

static BOOL WINAPI spy_SetWaitableTimer(HANDLE timer, const LARGE_INTEGER *due, LONG period,
                                        PTIMERAPCROUTINE routine, LPVOID argument, BOOL resume) {
    if (timer == spied_timer && period == 0 && !routine && !argument && !resume)
        spy_record("due(%lld)", static_cast<long long>(due->QuadPart));
    else
        spy_record("due(%lld,%ld,%d,%d)", static_cast<long long>(due->QuadPart),
                   static_cast<long>(period), routine != nullptr, resume);
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    // A relative due time counts 100 ns units from the last reading.
    deadline_ticks = last_counter - due->QuadPart * frequency.QuadPart / 10000000;
    spy_note_deadline(static_cast<double>(last_counter) / static_cast<double>(frequency.QuadPart) -
                      static_cast<double>(due->QuadPart) / 1e7);
    return NEXT(SetWaitableTimer)(timer, due, period, routine, argument, resume);
}

static DWORD WINAPI spy_WaitForSingleObject(HANDLE object, DWORD milliseconds) {
    if (object == spied_timer && milliseconds == INFINITE)
        spy_record("wait");
    else
        spy_record("wait(%p,%lu)", static_cast<void *>(object),
                   static_cast<unsigned long>(milliseconds));
    if (object == spied_timer && spy_timer_lateness() >= 0) {
        LARGE_INTEGER frequency, now;
        QueryPerformanceFrequency(&frequency);
        const LONGLONG end = deadline_ticks + spy_timer_lateness() * frequency.QuadPart / 1000000000;
        do NEXT(QueryPerformanceCounter)(&now);
        while (now.QuadPart < end);
        spy_hold_counter(end);
        return WAIT_OBJECT_0;
    }
    return NEXT(WaitForSingleObject)(object, milliseconds);
}

static BOOL WINAPI spy_CloseHandle(HANDLE object) {
    if (object == spied_timer) {
        spy_record("close");
        spy_release_counter();
        spied_timer = nullptr;
    } else {
        spy_record("close(%p)", static_cast<void *>(object));
    }
    return NEXT(CloseHandle)(object);
}

static mxArray *spy_mxCreateDoubleMatrix_700(int m, int n, int flag) {
    if (m == 1 && n == 1 && flag == 0)
        spy_record("create");
    else
        spy_record("create(%d,%d,%d)", m, n, flag);
    return NEXT(mxCreateDoubleMatrix_700)(m, n, flag);
}

static mxArray *spy_mxCreateLogicalScalar(bool value) {
    spy_record("logical");
    return NEXT(mxCreateLogicalScalar)(value);
}

static mxArray *spy_mxCreateString(const char *text) {
    spy_record("string");
    return NEXT(mxCreateString)(text);
}

static double *spy_mxGetPr(const mxArray *array) {
    spy_record("getpr");
    return NEXT(mxGetPr)(array);
}

static bool spy_mxIsDouble(const mxArray *array) {
    spy_record("isdouble");
    return NEXT(mxIsDouble)(array);
}

static bool spy_mxIsSparse(const mxArray *array) {
    spy_record("issparse");
    return NEXT(mxIsSparse)(array);
}

static std::size_t spy_mxGetNumberOfElements(const mxArray *array) {
    spy_record("numel");
    return NEXT(mxGetNumberOfElements)(array);
}

// libmex throws; the exception passes through this frame on its way to the
// loader.
static void spy_mexErrMsgIdAndTxt(const char *identifier, const char *format, ...) {
    char message[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    spy_record("error(%s)", identifier);
    NEXT(mexErrMsgIdAndTxt)(identifier, "%s", message);
}

struct Hook {
    const char *library;
    const char *name;
    void *hook;
    void **next;
};

#define HOOK(library, name) {library, #name, reinterpret_cast<void *>(spy_##name), &next_##name}

static const Hook hooks[] = {
    HOOK("kernel32.dll", QueryPerformanceFrequency),
    HOOK("kernel32.dll", QueryPerformanceCounter),
    HOOK("kernel32.dll", Sleep),
    HOOK("kernel32.dll", SetPriorityClass),
    HOOK("kernel32.dll", SetThreadPriority),
    HOOK("kernel32.dll", GetPriorityClass),
    HOOK("kernel32.dll", GetThreadPriority),
    HOOK("kernel32.dll", GetProcAddress),
    HOOK("kernel32.dll", CreateWaitableTimerExW),
    HOOK("kernel32.dll", SetWaitableTimer),
    HOOK("kernel32.dll", WaitForSingleObject),
    HOOK("kernel32.dll", CloseHandle),
    HOOK("kernel32.dll", GetSystemTimeAsFileTime),
    HOOK("winmm.dll", timeBeginPeriod),
    HOOK("winmm.dll", timeEndPeriod),
    HOOK("libmx.dll", mxCreateDoubleMatrix_700),
    HOOK("libmx.dll", mxCreateLogicalScalar),
    HOOK("libmx.dll", mxCreateString),
    HOOK("libmx.dll", mxGetPr),
    HOOK("libmx.dll", mxIsDouble),
    HOOK("libmx.dll", mxIsSparse),
    HOOK("libmx.dll", mxGetNumberOfElements),
    HOOK("libmex.dll", mexErrMsgIdAndTxt),
};

static const Hook *find_hook(const char *library, const char *name) {
    for (std::size_t i = 0; i < sizeof hooks / sizeof hooks[0]; ++i)
        if (_stricmp(hooks[i].library, library) == 0 && std::strcmp(hooks[i].name, name) == 0)
            return &hooks[i];
    return nullptr;
}

static void patch_slot(ULONGLONG *slot, const Hook *hook) {
    DWORD protection;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection)) return;
    if (*slot != reinterpret_cast<ULONGLONG>(hook->hook)) *hook->next = reinterpret_cast<void *>(*slot);
    *slot = reinterpret_cast<ULONGLONG>(hook->hook);
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
            const auto *import =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME *>(base + names->u1.AddressOfData);
            const Hook *found = find_hook(reinterpret_cast<const char *>(base + library->Name),
                                          reinterpret_cast<const char *>(import->Name));
            if (found) patch_slot(&slots->u1.Function, found);
        }
    }
}
