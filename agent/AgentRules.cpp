#include "agent/AgentRules.h"

#include "app/Text.h"
#include "settings/AgentContract.h"

namespace {

bool OptionOn(std::string_view text) {
    int32_t value = 0;
    return TryParseInt(text, value) && value != 0;
}

// A damaged or missing stored value says nothing, so only a readable one can disagree.
bool StoredDiffers(std::string_view stored, int32_t wanted) {
    int32_t value = 0;
    return TryParseInt(stored, value) && value != wanted;
}

}  // namespace

AgentOptions AgentOptionsFrom(std::string_view restoreSaverText, std::string_view restoreDelayText) {
    return AgentOptions{OptionOn(restoreSaverText), OptionOn(restoreDelayText)};
}

int32_t DelayFromText(std::string_view text) {
    int32_t value = 0;
    if (!TryParseIntSaturated(text, value) || value <= 0) return 0;
    return value < kShortestDelay ? kShortestDelay : value > kLongestDelay ? kLongestDelay : value;
}

SaverRepairs RepairsNeeded(const AgentOptions& options,
                           const SystemSaverState& state,
                           std::string_view installedSaver,
                           int32_t delay) {
    SaverRepairs repairs;
    if (options.restoreSaver && !installedSaver.empty()) {
        repairs.saverPath = !SamePath(state.saverPath, installedSaver);
        repairs.active = !state.liveActive || StoredDiffers(state.storedActive, 1);
    }
    if (options.restoreDelay && delay > 0 &&
        (state.liveTimeout != delay || StoredDiffers(state.storedTimeout, delay))) {
        repairs.timeout = delay;
    }
    return repairs;
}

PutBackGuard::Verdict PutBackGuard::Decide(uint32_t now) {
    if (backingOff_) {
        if (now - backOffStart_ < kBackOffMs) return Verdict::BackingOff;
        Reset();
    }
    if (count_ == kPutBackBurst && now - times_[next_] < kPutBackWindowMs) {
        Reset();
        backingOff_ = true;
        backOffStart_ = now;
        return Verdict::StartBackOff;
    }
    times_[next_] = now;
    next_ = (next_ + 1) % kPutBackBurst;
    if (count_ < kPutBackBurst) ++count_;
    return Verdict::PutBack;
}

uint32_t PutBackGuard::BackOffLeft(uint32_t now) const {
    const uint32_t spent = now - backOffStart_;
    return backingOff_ && spent < kBackOffMs ? kBackOffMs - spent : 0;
}

bool SamePath(std::string_view a, std::string_view b) { return AsciiLower(a) == AsciiLower(b); }

std::string InstalledSaverPath(std::string_view recorded, std::string_view systemFolder) {
    if (!recorded.empty()) return std::string(recorded);
    if (systemFolder.empty()) return {};
    std::string path(systemFolder);
    if (path.back() != '\\') path += '\\';
    return path + "vantora.scr";
}

std::string SaverCommandLine(std::string_view saverPath, std::string_view switchText) {
    return "\"" + std::string(saverPath) + "\" " + std::string(switchText);
}
