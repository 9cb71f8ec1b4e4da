#include "app/DynCalls_win.h"

#include "app/Exception.h"

#define VANTORA_DYN_LOOKUP(name, result, params)                                                                  \
    calls.name =                                                                                                  \
        module ? reinterpret_cast<result(WINAPI*) params>(reinterpret_cast<void*>(GetProcAddress(module, #name))) \
               : nullptr;

// Each table is filled once, on first use. A library loaded here stays loaded for the rest of the
// process: the table points into it.
#define VANTORA_DYN_TABLE(Getter, Calls, List, load) \
    Calls& Getter() {                                \
        static Calls table = [] {                    \
            Calls calls;                             \
            const HMODULE module = load;             \
            List(VANTORA_DYN_LOOKUP) return calls;   \
        }();                                         \
        return table;                                \
    }

HMODULE KernelModule() {
    static const HMODULE kernel = LoadLibraryA("Kernel32");
    if (!kernel) throw Exception("HKernel=0");
    return kernel;
}

VANTORA_DYN_TABLE(DynKernel32, Kernel32Calls, VANTORA_KERNEL32_CALLS, KernelModule())
VANTORA_DYN_TABLE(DynShell32, Shell32Calls, VANTORA_SHELL32_CALLS, LoadLibraryA("shell32.dll"))
VANTORA_DYN_TABLE(DynPsapi, PsapiCalls, VANTORA_PSAPI_CALLS, LoadLibraryA("psapi.dll"))
VANTORA_DYN_TABLE(DynUxtheme, UxthemeCalls, VANTORA_UXTHEME_CALLS, LoadLibraryA("uxtheme.dll"))
VANTORA_DYN_TABLE(DynComctl32, Comctl32Calls, VANTORA_COMCTL32_CALLS, LoadLibraryA("comctl32.dll"))
VANTORA_DYN_TABLE(DynMpr, MprCalls, VANTORA_MPR_CALLS, LoadLibraryA("MPR.DLL"))
