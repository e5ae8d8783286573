// The fixture every test of the core uses: a viewer of its own, made current, and a fresh headless backend, with the
// program folder set to a scratch folder that the test may fill with Kelo.ini, Maps and Presets.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/viewer.h"
#include "platform/headless/headless.h"

class KeloTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes a file under the scratch program folder and returns its full path.
    std::string writeFile(const std::string& relative, const std::string& contents);

    Viewer viewer;
    std::filesystem::path folder;
};
