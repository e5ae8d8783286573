// The one record of process-wide state: world model, playback clock, calibration, view and controls.
// Every part of the core reads and writes it directly as `g`; tests start over with resetGlobals().
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "view/gdiplus_wrappers.h"
#include "world/records.h"

struct ChatLine {
    std::string text;
    std::uint8_t side = 0;  // the low 8 bits of the speaker's side
};

struct Calibration {
    bool invertY = false;
    bool invertX = false;
    float scaleX = 0;
    float scaleY = 0;
    float offsetX = 0;
    float offsetY = 0;
    float rotationOffset = 0;
};

struct ControlButton {
    GpRectF hit{};
    std::uint8_t pressed = 0;
    std::uint8_t hovered = 0;
};

// Table order of the buttons; neither the order on screen nor the order the release handler looks at them.
enum ButtonIndex { buttonOpen, buttonSlower, buttonFaster, buttonPlay, buttonPause, buttonBars, buttonCount };

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

struct Globals {
    // World model
    std::vector<std::unique_ptr<Record>> records;  // the record store: owns every live record
    PtrList<SoldierRecord> soldierList;
    PtrList<VehicleRecord> vehicleList;
    PtrList<BuildingRecord> buildingList;
    PtrList<Record> entityList;
    std::optional<std::string> mapName;
    std::optional<Image> mapImage;
    std::optional<std::string> statusMessage;
    std::optional<std::string> configTitle;
    std::int32_t clockMinutes = 0;
    std::int32_t clockSeconds = 0;
    std::array<std::optional<ChatLine>, 6> chatLines;

    // Replay reader and playback clock
    std::unique_ptr<std::FILE, FileCloser> replayFile;
    std::string currentLine;
    std::optional<std::string> nextLine;
    std::int32_t msPerLogSecond = 1000;
    std::uint8_t playbackPaused = 0;

    Calibration calibration;

    // View and controls
    std::uint8_t composeReady = 1;
    std::array<ControlButton, buttonCount> controlButtons{};
    std::uint8_t barsShown = 0;  // every soldier on the map gets its bare status bar
};

extern Globals g;

void resetGlobals();
