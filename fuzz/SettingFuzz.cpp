// A setting's stored text (after four bytes of fallback): the value is the text's number or the
// fallback, clamped either way, and the value written back as text reads as itself.
#include <cstring>
#include <string>

#include "fuzz/FuzzInput.h"
#include "settings/SettingValues.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int32_t fallback = 0;
    if (size < sizeof fallback) return 0;
    std::memcpy(&fallback, data, sizeof fallback);
    const std::string_view text = AsText(data + sizeof fallback, size - sizeof fallback);

    const int32_t value = SettingFromText(text, fallback);
    FUZZ_CHECK(value >= 0 && value <= kSettingMax);
    FUZZ_CHECK(value == ClampSetting(ReferenceInt(text).value_or(fallback)));
    FUZZ_CHECK(SettingFromText(std::to_string(value), -1) == value);
    return 0;
}
