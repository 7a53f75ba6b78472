#include "files.h"
#include "output/whole_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace {

std::set<std::string> namesIn(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

}  // namespace

// A file keeps what it held until the new one is whole, then takes the new
// bytes; one that is dropped unfinished leaves nothing; a name as long as the
// file system takes still has room for its temporary name.
TEST(WholeFile, TakesItsNameOnlyWhenWholeAndLeavesNothingOtherwise)
{
    TempDir folder;
    const std::string longName(251, 'n');
    for (const std::string& name : {std::string("frame.png"), longName + ".jpg"}) {
        SCOPED_TRACE(name.size());
        const std::string path = folder / name;
        writeFile(path, "old");
        {
            WholeFile dropped(path);
            std::string error;
            ASSERT_TRUE(dropped.create(&error)) << error;
            std::fputs("half", dropped.file());
        }
        EXPECT_EQ(namesIn(folder.path()), std::set<std::string>{name});

        WholeFile file(path);
        std::string error;
        ASSERT_TRUE(file.create(&error)) << error;
        std::fputs("new", file.file());
        EXPECT_EQ(readFile(path), "old");
        EXPECT_EQ(namesIn(folder.path()).size(), 2u);
        EXPECT_EQ(file.temporaryPath().rfind(folder / "."), 0u) << file.temporaryPath();
        ASSERT_TRUE(file.finish(&error)) << error;
        EXPECT_EQ(readFile(path), "new");
        EXPECT_EQ(namesIn(folder.path()), std::set<std::string>{name});
        std::filesystem::remove(path);
    }

    WholeFile nowhere(folder / "missing/x.png");
    std::string error;
    EXPECT_FALSE(nowhere.create(&error));
    EXPECT_EQ(error, "cannot write " + folder / "missing/x.png" + ": No such file or directory");
}
