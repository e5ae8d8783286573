// Loading the current map's calibration from its section of Kelo.ini, key by key in a fixed order.
// Relies on the profile reader of the platform seam and on the log's atof rule for numbers.
#include "app/calibration.h"

#include <algorithm>
#include <string_view>

#include "app/globals.h"
#include "app/program_files.h"
#include "platform/platform.h"
#include "world/log_format.h"

namespace {

// A key is either a flag or a number of the calibration; the table's order is the order of reading.
struct CalibrationKey {
    const char* name;
    bool Calibration::*flag;
    float Calibration::*number;
};

constexpr CalibrationKey calibrationKeys[] = {
    {"InvertY", &Calibration::invertY, nullptr},
    {"InvertX", &Calibration::invertX, nullptr},
    {"ScaleX", nullptr, &Calibration::scaleX},
    {"ScaleY", nullptr, &Calibration::scaleY},
    {"OffsetX", nullptr, &Calibration::offsetX},
    {"OffsetY", nullptr, &Calibration::offsetY},
    {"RotationOffset", nullptr, &Calibration::rotationOffset},
};

// "true" in any case, or "1".
bool readFlag(std::string_view value)
{
    constexpr std::string_view word = "true";
    auto sameLetter = [](char a, char b) { return a == b || (a >= 'A' && a <= 'Z' && a - 'A' + 'a' == b); };
    return value == "1" || std::equal(value.begin(), value.end(), word.begin(), word.end(), sameLetter);
}

}  // namespace

bool loadCalibration()
{
    if (!g.mapName)
        return false;
    const std::string path = settingsPath();
    for (const CalibrationKey& key : calibrationKeys) {
        // The reader answers "ERR" for a missing key, so a value that is exactly "ERR" counts as missing too.
        const std::string value = readProfileString(*g.mapName, key.name, "ERR", path);
        if (value == "ERR")
            return false;
        if (key.flag != nullptr)
            g.calibration.*key.flag = readFlag(value);
        else
            g.calibration.*key.number = readReal(value);
    }
    return true;
}
