// The shared test fixture: each test starts from a viewer of its own, a reset clock and a scratch program folder.
#include "tests/kelo_test.h"

#include <stdlib.h>

#include <fstream>

void KeloTest::SetUp()
{
    app::makeCurrent(&viewer);
    headless::reset();
    // A folder of its own for every test: tests running side by side never share one.
    std::string name = (std::filesystem::temp_directory_path() / "kelo-test-XXXXXX").string();
    ASSERT_NE(mkdtemp(name.data()), nullptr);
    folder = name;
    headless::setProgramFolder(folder.string());
}

void KeloTest::TearDown()
{
    viewer.reset();
    app::makeCurrent(nullptr);
    std::filesystem::remove_all(folder);
}

std::string KeloTest::writeFile(const std::string& relative, const std::string& contents)
{
    std::filesystem::path path = folder / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << contents;
    return path.string();
}
