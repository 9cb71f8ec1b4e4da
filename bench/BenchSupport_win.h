// What the Windows benchmarks share: the performance counter in milliseconds, medians, and
// programs started at a noted counter value.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

inline double CounterMs(LONGLONG ticks) {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    return static_cast<double>(ticks) * 1000.0 / frequency;
}

inline LONGLONG Counter() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Started {
    HANDLE process = nullptr;
    DWORD processId = 0;
    LONGLONG startCounter = 0;
};

inline Started Start(const std::string& commandLine) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::string command = commandLine;
    Started started;
    started.startCounter = Counter();
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        std::printf("cannot start %s (error %lu)\n", commandLine.c_str(), GetLastError());
        std::exit(1);
    }
    CloseHandle(info.hThread);
    started.process = info.hProcess;
    started.processId = info.dwProcessId;
    return started;
}
