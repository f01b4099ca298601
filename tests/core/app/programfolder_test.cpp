#include <gtest/gtest.h>

#include "core/app/programfolder.h"
#include "fakes/tempfolder.h"

using namespace vistrel::core;
using namespace vistrel::test;

TEST(ProgramFolder, BesideTheExecutableInABuildAndInShareWhenInstalled) {
    TempFolder build, installed, bare;
    build.file("help.html");
    installed.folder("bin");
    installed.folder("share/vistrel");
    bare.folder("bin");
    installed.file("bin/vistrel");
    installed.file("share/vistrel/help.html");
    bare.file("bin/vistrel");
    EXPECT_EQ(ProgramFolder(build.path()), build.path());
    EXPECT_EQ(ProgramFolder(installed.path("bin")), installed.path("share/vistrel"));
    EXPECT_EQ(ProgramFolder(installed.path("bin/")), installed.path("share/vistrel"));
    EXPECT_EQ(ProgramFolder(bare.path("bin")), bare.path("bin"));
}
