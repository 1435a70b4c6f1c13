// settings.conf text of any kind: read safely, and a key given last as a plain number wins.
#include "FuzzSupport.h"
#include "app/Settings.h"

#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::ostringstream refusals; // a refused value's line, not the fuzzer's console
    const Settings parsed = parseSettings(text, Settings{}, refusals);
    const Settings overridden = parseSettings(text + "\nwidth=1234\ndifficulty=3\n", Settings{}, refusals);
    require(overridden.width == 1234 && overridden.difficulty == 3);
    require(overridden.height == parsed.height && overridden.music == parsed.music);
    return 0;
}
