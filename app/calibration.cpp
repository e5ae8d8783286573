// TODO
#include "app/calibration.h"

bool loadCalibration() { return false; }
