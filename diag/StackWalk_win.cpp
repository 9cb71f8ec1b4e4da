#include "diag/StackWalk_win.h"

#include <cstring>

#include "diag/StackWalk.h"

namespace {

// Far more frames than any real stack of this program has; a corrupt stack cannot loop for ever.
constexpr int kMaxFrames = 1024;

class LiveMemory : public MemoryReader {
public:
    bool Read(uint64_t address, void* out, size_t size) const override {
        if (address == 0 || address > UINTPTR_MAX - size) return false;
        const void* source = reinterpret_cast<const void*>(static_cast<uintptr_t>(address));
        if (IsBadReadPtr(source, size)) return false;
        std::memcpy(out, source, size);
        return true;
    }
};

CodeRangeTable& Table() {
    static CodeRangeTable table;
    return table;
}

// The table on first use; a malformed image header throws and leaves it empty for the next try.
const CodeRangeTable& CodeRanges() {
    static CodeRange imageRange;
    CodeRangeTable& table = Table();
    if (table.LastIndex() != -1) return table;
    table.Clear();
    const HMODULE module = OwnModule();
    if (!module) return table;
    if (imageRange.start == 0) imageRange = ImageCodeRange(LiveMemory(), reinterpret_cast<uintptr_t>(module));
    table.Add(imageRange);
    return table;
}

// Appends one listed address; false once the text is full.
bool List(uint64_t caller, TraceText& text, std::vector<uintptr_t>* callers) {
    if (!text.Add(caller)) return false;
    if (callers) callers->push_back(static_cast<uintptr_t>(caller));
    return true;
}

#ifdef _WIN64

bool UnwindOnce(CONTEXT& context, const MemoryReader& memory) {
    DWORD64 imageBase = 0;
    PRUNTIME_FUNCTION function = RtlLookupFunctionEntry(context.Rip, &imageBase, nullptr);
    if (!function) {
        // Leaf functions have no unwind data: their return address sits right at the stack pointer.
        uint64_t returnAddress = 0;
        if (!memory.Read(context.Rsp, &returnAddress, sizeof returnAddress)) return false;
        context.Rip = returnAddress;
        context.Rsp += sizeof returnAddress;
        return true;
    }
    PVOID handlerData = nullptr;
    DWORD64 establisherFrame = 0;
    RtlVirtualUnwind(UNW_FLAG_NHANDLER, imageBase, context.Rip, function, &context, &handlerData, &establisherFrame,
                     nullptr);
    return true;
}

// Unwinds from `context`; the first `discard` frames reached are not listed.
std::string Walk(CONTEXT context, int discard, bool oneLine, std::vector<uintptr_t>* callers) {
    const CodeRangeTable& table = CodeRanges();
    LiveMemory memory;
    TraceText text(oneLine, kAddressDigits);
    const uint64_t low = context.Rsp - 1;
    const uint64_t high = ThreadStackBase();
    for (int step = 0; step < kMaxFrames; ++step) {
        const uint64_t previousSp = context.Rsp;
        if (!UnwindOnce(context, memory)) break;
        const UnwoundFrame kind = ClassifyUnwoundFrame(context.Rip, context.Rsp, previousSp, low, high, table);
        if (kind == UnwoundFrame::Stop) break;
        if (discard > 0) {
            --discard;
        } else if (kind == UnwoundFrame::List && !List(CallerAddressOf(context.Rip, table, memory), text, callers)) {
            break;
        }
    }
    return text.Finish();
}

#else

std::string Walk(uintptr_t startFrame, bool oneLine, std::vector<uintptr_t>* callers) {
    const CodeRangeTable& table = CodeRanges();
    LiveMemory memory;
    TraceText text(oneLine, kAddressDigits);
    uint64_t frame = startFrame;
    uint64_t caller = 0;
    const uint64_t low = static_cast<uint64_t>(startFrame) - 1;
    const uint64_t high = ThreadStackBase();
    while (StepFrame(frame, caller, low, high, sizeof(uintptr_t), table, memory)) {
        if (!List(caller, text, callers)) break;
    }
    return text.Finish();
}

#endif

}  // namespace

HMODULE OwnModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&Table), &module);
    return module;
}

// NT_TIB.StackBase, read straight from the thread information block: NtCurrentTeb() trips GCC 12's
// array-bounds warning at -O3.
uintptr_t ThreadStackBase() {
    uintptr_t base;
#ifdef _WIN64
    asm("movq %%gs:8, %0" : "=r"(base));
#else
    asm("movl %%fs:4, %0" : "=r"(base));
#endif
    return base;
}

__attribute__((noinline)) std::string BuildStackTrace(bool oneLine, int skipFrames, std::vector<uintptr_t>* callers) {
    try {
#ifdef _WIN64
        CONTEXT context;
        RtlCaptureContext(&context);
        // The first frame unwound to is the asker's own.
        return Walk(context, 1 + skipFrames, oneLine, callers);
#else
        LiveMemory memory;
        auto frame = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
        for (int i = 0; i <= skipFrames; ++i) {
            uint32_t saved = 0;
            if (!memory.Read(frame, &saved, sizeof saved)) return {};
            frame = saved;
        }
        return Walk(frame, oneLine, callers);
#endif
    } catch (...) {
        return "exc";
    }
}

std::string BuildStackTraceFrom(const CONTEXT& context, bool oneLine, std::vector<uintptr_t>* callers) {
    try {
#ifdef _WIN64
        return Walk(context, 0, oneLine, callers);
#else
        return Walk(context.Ebp, oneLine, callers);
#endif
    } catch (...) {
        return "exc";
    }
}

__attribute__((noinline)) std::string BuildStackDump(uintptr_t start) {
    if (start == 0) start = CurrentStackPointer();
    return FormatStackDump(LiveMemory(), start, ThreadStackBase());
}
