// Whether the outputs a kelo-render run asks for can be written, found out before anything plays, so that a run never
// plays a long log to fail at its end.
#pragma once

#include <optional>
#include <string>

#include "tools/render_options.h"

// The first output of the run that cannot be written (the frames' folder, the frame, the state, the clip), if any.
// A file that was not there is not left behind; the frames' folder is made if it is not there.
std::optional<std::string> unwritableOutput(const RenderOptions& options);
