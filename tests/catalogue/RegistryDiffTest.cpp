// Two registries compared type by type: which types each has, and what each aspect of a type
// reads, the default verb as Windows picks it among them.

#include "catalogue/diff/RegistryDiff.h"

#include "tests/catalogue/EffectiveFixture.h"

#include <gtest/gtest.h>

namespace moxalo::catalogue::diff {
namespace {

using testing::TempDir;

Snapshot snapshotOf(const std::string& path) {
    auto opened = testing::openView({path});
    if (!opened.view)
        return {};
    Result<Snapshot> snapshot = takeSnapshot(*opened.registry, *opened.view);
    EXPECT_TRUE(snapshot) << (snapshot ? "" : snapshot.error());
    return snapshot ? std::move(*snapshot) : Snapshot{};
}

std::string told(const std::vector<Change>& changes) {
    std::string text;
    for (const Change& c : changes)
        text += std::string(changeKindText(c.kind)) + " " + c.type +
                (c.aspect ? " " + std::string(aspectText(*c.aspect)) : "") + ": " + c.before +
                " | " + c.after + "\n";
    return text;
}

TEST(RegistryDiff, TheDefaultVerbIsTheFirstListedThatExistsElseOpenElseTheFirst) {
    TempDir dir;
    std::string path = testing::writeRegFile(
        dir, "verbs.reg",
        "[HKEY_CLASSES_ROOT\\.listed]\r\n@=\"listed\"\r\n"
        "[HKEY_CLASSES_ROOT\\listed\\shell]\r\n@=\"missing, print\"\r\n"
        "[HKEY_CLASSES_ROOT\\listed\\shell\\open\\command]\r\n@=\"a.exe %1\"\r\n"
        "[HKEY_CLASSES_ROOT\\listed\\shell\\print\\command]\r\n@=\"a.exe /p %1\"\r\n"
        "[HKEY_CLASSES_ROOT\\.open]\r\n@=\"open\"\r\n"
        "[HKEY_CLASSES_ROOT\\open\\shell]\r\n@=\"missing\"\r\n"
        "[HKEY_CLASSES_ROOT\\open\\shell\\edit\\command]\r\n@=\"b.exe /e %1\"\r\n"
        "[HKEY_CLASSES_ROOT\\open\\shell\\open\\command]\r\n@=\"b.exe %1\"\r\n"
        "[HKEY_CLASSES_ROOT\\.first]\r\n@=\"first\"\r\n"
        "[HKEY_CLASSES_ROOT\\first\\shell\\view\\command]\r\n@=\"c.exe /v %1\"\r\n"
        "[HKEY_CLASSES_ROOT\\first\\shell\\edit\\command]\r\n@=\"c.exe /e %1\"\r\n"
        "[HKEY_CLASSES_ROOT\\.self]\r\n"
        "[HKEY_CLASSES_ROOT\\.self\\DefaultIcon]\r\n@=\"d.exe,3\"\r\n"
        "[HKEY_CLASSES_ROOT\\.self\\shell\\run\\command]\r\n@=\"d.exe %1\"\r\n");
    Snapshot snapshot = snapshotOf(path);
    ASSERT_EQ(snapshot.size(), 4u);
    auto verbAndCommand = [&](const std::string& type) {
        const TypeState& state = snapshot.at(type);
        return state[Aspect::DefaultAction] + " " + state[Aspect::Command];
    };
    EXPECT_EQ(verbAndCommand(".listed"), "print a.exe /p %1");
    EXPECT_EQ(verbAndCommand(".open"), "open b.exe %1");
    // The first as the registry lists them: by name, as a hive does, whatever the file's order.
    EXPECT_EQ(verbAndCommand(".first"), "edit c.exe /e %1");
    // An extension that names no class is its own: its icon and verbs are read from it.
    EXPECT_EQ(verbAndCommand(".SELF"), "run d.exe %1");
    EXPECT_EQ(snapshot.at(".self")[Aspect::Icon], "d.exe,3");
    EXPECT_EQ(snapshot.at(".self")[Aspect::TypeName], "");
}

TEST(RegistryDiff, TypesAddedRemovedAndChangedComeInTheOrderOfTheirNames) {
    auto state = [](std::string extension, std::string progId) {
        TypeState type;
        type.extension = std::move(extension);
        type[Aspect::ProgId] = std::move(progId);
        return type;
    };
    Snapshot before, after;
    for (auto type : {state(".a", "a"), state(".c", "x"), state(".D", "d"), state(".f", "f")})
        before.emplace(type.extension, type);
    for (auto type : {state(".b", "b"), state(".C", "y"), state(".d", "d"), state(".e", "e")})
        after.emplace(type.extension, type);
    after.at(".d")[Aspect::Command] = "d.exe %1";
    after.at(".d")[Aspect::Icon] = "d.exe,1";
    EXPECT_EQ(told(compareSnapshots(before, after)), "removed .a: a | \n"
                                                     "added .b:  | b\n"
                                                     "changed .C ProgID: x | y\n"
                                                     "changed .d command:  | d.exe %1\n"
                                                     "changed .d icon:  | d.exe,1\n"
                                                     "added .e:  | e\n"
                                                     "removed .f: f | \n");
    EXPECT_EQ(told(compareSnapshots(after, after)), "");
}

} // namespace
} // namespace moxalo::catalogue::diff
