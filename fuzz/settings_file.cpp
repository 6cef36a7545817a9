// The settings file: any bytes as SC_CONVERTER.ini, read into the settings record as the
// start-up load reads it and written back as the close writes it. What was read must read
// back the same from the written file, and a second save must not change a byte.
#include "FuzzSupport.h"

#include "platform/IniFile.h"
#include "settings/ConvertSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace sc::settings;
    const TConvertSettings defaults;

    sc::IniFile ini;
    ini.setBytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    const TConvertSettings loaded = readSettings(ini, defaults);
    writeSettings(loaded, ini);
    const QByteArray saved = ini.bytes();

    sc::IniFile reopened;
    reopened.setBytes(saved);
    SC_FUZZ_CHECK(readSettings(reopened, defaults) == loaded);
    writeSettings(loaded, reopened);
    SC_FUZZ_CHECK(reopened.bytes() == saved);
    return 0;
}
