// stop.sh's interrupt and twice on Windows: Ctrl+C, as a console delivers it
// (GenerateConsoleCtrlEvent), to mexhost in that console. Under Wine too,
// which delivers it to the console's processes as Windows does.
//   interrupt [--twice] MEXHOST ARG...
// Ctrl+C 2 s into the call must end it within 1 s, with waituntil's
// message. --twice, for a call that never looks at the flag: the first
// Ctrl+C must leave it running, and a second 0.5 s later end it within 1 s.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr DWORD STARTED_MS = 2000, STILL_RUNNING_MS = 500, ENDED_MS = 1000;

int fail(const char *why, const std::string &output) {
    std::printf("%sFAIL %s\n", output.c_str(), why);
    return 1;
}

}  // namespace

int main(int argc, char **argv) {
    const bool twice = argc > 1 && std::strcmp(argv[1], "--twice") == 0;
    const int first = twice ? 2 : 1;
    if (argc <= first) return std::printf("usage: interrupt [--twice] MEXHOST ARG...\n"), 2;
    std::string command;
    for (int i = first; i < argc; ++i) command += std::string(i > first ? " \"" : "\"") + argv[i] + "\"";

    // A console of its own, shared with mexhost: the one ctest hands over, if
    // any, is no console that this program could signal.
    FreeConsole();
    if (!AllocConsole()) return std::printf("FAIL no console: error %lu\n", GetLastError()), 1;
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE read_end, write_end;
    if (!CreatePipe(&read_end, &write_end, &inherited, 0)) return std::printf("FAIL no pipe\n"), 1;
    SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = startup.hStdError = write_end;
    PROCESS_INFORMATION child{};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child))
        return std::printf("FAIL %s did not start: error %lu\n", command.c_str(), GetLastError()), 1;
    CloseHandle(write_end);
    // From here it ignores the Ctrl+C it sends; mexhost, started before, does not.
    SetConsoleCtrlHandler(nullptr, TRUE);

    Sleep(STARTED_MS);
    std::string output;
    auto ended_within = [&](DWORD ms) { return WaitForSingleObject(child.hProcess, ms) == WAIT_OBJECT_0; };
    if (twice) {
        GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
        if (ended_within(STILL_RUNNING_MS)) return fail("the first Ctrl+C ended it", output);
    }
    const DWORD start = GetTickCount();
    if (!GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0)) return std::printf("FAIL no Ctrl+C: error %lu\n", GetLastError()), 1;
    const bool ended = ended_within(ENDED_MS);
    const DWORD took = GetTickCount() - start;
    if (!ended) TerminateProcess(child.hProcess, 1);
    char buffer[4096];
    DWORD got;
    while (ReadFile(read_end, buffer, sizeof buffer, &got, nullptr) && got > 0) output.append(buffer, got);
    DWORD status = 0;
    GetExitCodeProcess(child.hProcess, &status);
    if (!ended) return fail("still running 1 s after Ctrl+C", output);
    if (!twice && (status == 0 || output.find("Interrupted before the deadline.") == std::string::npos))
        return fail("no interrupted error", output);
    std::printf("%sok ended %lu ms after Ctrl+C, exit status 0x%lx\n", output.c_str(), took, status);
    return 0;
}
