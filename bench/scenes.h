// The scenes the frame benchmarks compose: the title screen, a light scene as busy as the bundled demo gets and a
// heavy one. Each is built in app::world from generated log lines, with its map and icons in benchFolder().
#pragma once

#include <string>
#include <vector>

// Applies each line to app::world as playback would (the map line loads calibration and picture).
void applyLines(const std::vector<std::string>& lines);

// A fresh program state in the benchmarks' folder, composing the title screen.
void buildTitleScene();
// The demo at its busiest: 12 soldiers (one label pinned), 6 vehicles (4 with 32 x 32 icons), a 512 x 512 map,
// title, clock and six chat lines.
void buildLightScene();
// 1,000 soldiers, 300 vehicles with 64 x 64 icons (20 labels pinned, each with three passengers), a 2048 x 2048 map,
// title, clock and six chat lines.
void buildHeavyScene();
