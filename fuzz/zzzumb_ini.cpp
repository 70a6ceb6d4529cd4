// zzzumb.ini. A file read is seven placements of 16-bit numbers; writing them and reading
// the text back gives exactly the same placements.

#include "fuzz/check.h"
#include "timing/core/files/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto placements = umbrix::ParseSettingsText(fuzz::AsText(data, size));
    if (!placements) return 0;
    const std::string text = umbrix::SettingsText(*placements);
    const auto back = umbrix::ParseSettingsText(text);
    FUZZ_CHECK(back.has_value());
    for (std::size_t i = 0; i < placements->size(); ++i) {
        const umbrix::WindowPlacement& a = (*placements)[i];
        const umbrix::WindowPlacement& b = (*back)[i];
        FUZZ_CHECK(a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height);
        for (int v : {a.left, a.top, a.width, a.height}) FUZZ_CHECK(v >= -32768 && v <= 32767);
    }
    FUZZ_CHECK(umbrix::SettingsText(*back) == text);
    return 0;
}
