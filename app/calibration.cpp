// Loading the current map's calibration from its section of Kelo.ini, key by key in a fixed order.
// Relies on the profile reader of the platform seam and on the log's atof rule for numbers.
#include "app/calibration.h"

#include <string_view>
#include <utility>

#include "seam/platform.h"
#include "world/log_format.h"
#include "world/program_files.h"
#include "world/text_rules.h"

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
    return value == "1" || sameIgnoringCase(value, "true");
}

}  // namespace

bool loadCalibration(World& world)
{
    if (!world.mapName)
        return false;
    const std::string path = settingsPath(executableFolder());
    for (const CalibrationKey& key : calibrationKeys) {
        // The reader answers "ERR" for a missing key, so a value that is exactly "ERR" counts as missing too.
        const std::string value = readProfileString(*world.mapName, key.name, "ERR", path);
        if (value == "ERR")
            return false;
        if (key.flag != nullptr)
            world.calibration.*key.flag = readFlag(value);
        else
            world.calibration.*key.number = readReal(value);
    }
    return true;
}

void refreshCalibration(World& world, std::optional<CalibrationRead>& last)
{
    if (!world.mapName)
        return;
    std::string path = settingsPath(executableFolder());
    const FileVersion settings = fileVersion(path);
    if (last && last->path == path && last->settings == settings && last->mapName == *world.mapName
        && last->result == world.calibration)
        return;
    loadCalibration(world);
    last = CalibrationRead{std::move(path), settings, *world.mapName, world.calibration};
}
