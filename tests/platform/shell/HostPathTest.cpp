// Windows paths from the registry looked up under Wine prefixes.

#include "platform/shell/HostPath.h"

#include "tests/support/TestRegistry.h"

#include <filesystem>
#include <gtest/gtest.h>

using moxalo::shell::hostPathOf;
using moxalo::testing::TempDir;
using moxalo::testing::writeFile;

namespace fs = std::filesystem;

namespace {

// A prefix laid out as wineboot leaves one: drive_c, and dosdevices/c: linking to it.
std::string makePrefix(const TempDir& dir, const std::string& name) {
    fs::path prefix = fs::path(dir.path()) / name;
    fs::create_directories(prefix / "drive_c" / "windows" / "system32");
    fs::create_directories(prefix / "dosdevices");
    fs::create_directory_symlink("../drive_c", prefix / "dosdevices" / "c:");
    return prefix.string();
}

} // namespace

TEST(HostPath, DriveLetterPathsAreFoundThroughTheDevicesLink) {
    TempDir dir;
    std::string prefix = makePrefix(dir, "wine");
    writeFile(prefix + "/drive_c/windows/app.ico", "icon");
    std::string expected = prefix + "/dosdevices/c:/windows/app.ico";

    EXPECT_EQ(hostPathOf("C:\\windows\\app.ico", {prefix}), expected);
    EXPECT_EQ(hostPathOf("c:/windows/app.ico", {prefix}), expected) << "either slash, any case";
    EXPECT_EQ(hostPathOf("C:\\windows/\\app.ico", {prefix}), expected) << "doubled separators";
    EXPECT_EQ(hostPathOf("C:\\Windows\\.\\APP.ico", {prefix}), expected)
        << "names are matched without regard to case";
    EXPECT_TRUE(fs::is_regular_file(hostPathOf("C:\\WINDOWS\\App.Ico", {prefix})));
}

TEST(HostPath, WhatCannotBeMappedComesBackUnchanged) {
    TempDir dir;
    std::string prefix = makePrefix(dir, "wine");
    writeFile(prefix + "/drive_c/windows/app.ico", "icon");

    for (const std::string& path : {
             std::string("C:\\windows\\missing.ico"), // no such file
             std::string("C:\\windows"),              // a folder is no file
             std::string("C:\\windows\\app.ico\\x"),  // a file is no folder
             std::string("Q:\\windows\\app.ico"),     // no such drive
             std::string("%SystemRoot%\\app.ico"),    // not expanded
             std::string("app.ico"),
             std::string("C:windows\\app.ico"), // relative to the drive's current folder
             std::string("\\\\server\\share\\app.ico"),
             std::string("C:"),
             std::string(""),
         })
        EXPECT_EQ(hostPathOf(path, {prefix}), path);

    EXPECT_EQ(hostPathOf("C:\\windows\\app.ico", {}), "C:\\windows\\app.ico");
    EXPECT_EQ(hostPathOf("C:\\windows\\app.ico", {dir.file("no-prefix")}), "C:\\windows\\app.ico");
}
