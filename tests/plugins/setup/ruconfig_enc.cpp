// Test tool: RUConfig.dat from JSON text, encrypted with the plug-in's own
// block function (ECB, the fixed key, zero padding).
//   ruconfig_enc.exe IN.json OUT.dat
#include <fstream>
#include <iterator>
#include <string>

#include "tests/plugins/setup/ruconfig_fixture.h"

using namespace setup;

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) return 1;
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::vector<uint8_t> data = EncryptRecommendConfigText(text);
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    return out ? 0 : 1;
}
