// settings.conf text of any kind: read safely, and a key given last as a plain number wins.
#include "FuzzSupport.h"
#include "app/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const Settings parsed = parseSettings(text);
    const Settings overridden = parseSettings(text + "\nwidth=1234\ndifficulty=3\n");
    require(overridden.width == 1234 && overridden.difficulty == 3);
    require(overridden.height == parsed.height && overridden.music == parsed.music);
    return 0;
}
