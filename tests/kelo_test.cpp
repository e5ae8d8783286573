// The shared test fixture: each test starts from a reset world, clock and scratch program folder.
#include "tests/kelo_test.h"

#include <fstream>

void KeloTest::SetUp()
{
    app::resetState();
    headless::reset();
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    folder = std::filesystem::temp_directory_path() /
             ("kelo-test-" + std::string(info->test_suite_name()) + "-" + info->name());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    headless::setProgramFolder(folder.string());
}

void KeloTest::TearDown()
{
    app::resetState();
    std::filesystem::remove_all(folder);
}

std::string KeloTest::writeFile(const std::string& relative, const std::string& contents)
{
    std::filesystem::path path = folder / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << contents;
    return path.string();
}
