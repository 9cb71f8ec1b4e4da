// What the tray agent decides: which of its options are on, whether the system's screensaver
// settings have drifted from what those options keep, and the command lines it starts. No Windows
// headers: built natively too.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The two options the agent acts on, from the settings key's "RestoreSaver" and "RestoreDelay".
// Anything but a decimal integer other than 0 (a missing value included) means off: the agent
// never overrides the system on a guess.
struct AgentOptions {
    bool restoreSaver = false;
    bool restoreDelay = false;
};
AgentOptions AgentOptionsFrom(std::string_view restoreSaverText, std::string_view restoreDelayText);

// "Delay" in seconds, held to the range the settings window enforces (kShortestDelay..kLongestDelay);
// 0 when missing, damaged or not positive, which turns the wait-time restore off.
int32_t DelayFromText(std::string_view text);

// The system's screensaver settings as the agent reads them. The stored texts are the registry
// values under HKCU\Control Panel\Desktop ("" when missing); the live values are what
// SystemParametersInfo answers, which may differ from the registry after an in-memory change.
struct SystemSaverState {
    std::string saverPath;      // "SCRNSAVE.EXE"
    std::string storedActive;   // "ScreenSaveActive"
    bool liveActive = false;    // SPI_GETSCREENSAVEACTIVE
    std::string storedTimeout;  // "ScreenSaveTimeOut", seconds
    int32_t liveTimeout = 0;    // SPI_GETSCREENSAVETIMEOUT
};

// What the agent must put back; `timeout` is 0 when the timeout stays.
struct SaverRepairs {
    bool saverPath = false;
    bool active = false;
    int32_t timeout = 0;
    bool any() const { return saverPath || active || timeout != 0; }
};
// `installedSaver` is the full path of the installed vantora.scr ("" when unknown, which leaves the
// screensaver alone); `delay` comes from DelayFromText.
SaverRepairs RepairsNeeded(const AgentOptions& options,
                           const SystemSaverState& state,
                           std::string_view installedSaver,
                           int32_t delay);

// Keeps the agent from fighting another program that sets its own screensaver back on every
// change: after kPutBackBurst put-backs within kPutBackWindowMs, the next one starts a back-off of
// kBackOffMs in which nothing is put back. Times are millisecond ticks; differences are taken
// modulo 2^32, so a tick count that wraps changes nothing.
class PutBackGuard {
public:
    static constexpr int kPutBackBurst = 5;
    static constexpr uint32_t kPutBackWindowMs = 10000;
    static constexpr uint32_t kBackOffMs = 5 * 60 * 1000;

    enum class Verdict {
        PutBack,       // go ahead; counted
        StartBackOff,  // too many: leave it, and say so
        BackingOff,    // still leaving it
    };
    // Called when something needs putting back, at tick `now`.
    Verdict Decide(uint32_t now);
    // Milliseconds until put-backs are allowed again; 0 when they are.
    uint32_t BackOffLeft(uint32_t now) const;
    // The user's own save: put back at once, and count afresh.
    void Reset() { *this = PutBackGuard(); }

private:
    uint32_t times_[kPutBackBurst] = {};  // the latest put-backs, oldest at next_ once full
    int count_ = 0;
    int next_ = 0;
    bool backingOff_ = false;
    uint32_t backOffStart_ = 0;
};

// Paths compared as Windows compares file names here: ASCII letters without case.
bool SamePath(std::string_view a, std::string_view b);

// The installed vantora.scr: the path the installer recorded, or vantora.scr in the system folder
// when it recorded none.
std::string InstalledSaverPath(std::string_view recorded, std::string_view systemFolder);

// The quoted screensaver path followed by its switch, e.g. "C:\Windows\System32\vantora.scr" /s.
std::string SaverCommandLine(std::string_view saverPath, std::string_view switchText);
