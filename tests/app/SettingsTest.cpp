// The settings file: where it is, what a read gives back, and which folders are there.

#include "app/modFileExists.h"
#include "app/modSettings.h"
#include "tests/support/TestRegistry.h"

#include <QTest>
#include <filesystem>

namespace moxalo::app {

class SettingsTest : public QObject {
    Q_OBJECT

private slots:
    void readsWhatWasWrittenOrTheDefault();
    void readsAtMost154Characters();
    void folderExistsOnlyForListableFolders();
};

void SettingsTest::readsWhatWasWrittenOrTheDefault() {
    testing::TempDir dir;
    QCOMPARE(SettingsFilePathIn(dir.path() + "/"), dir.file("Moxalo.ini"));
    SettingsFile settings(SettingsFilePathIn(dir.path()));
    QCOMPARE(settings.read("Main", "Folder", "/home"), std::string("/home"));
    QVERIFY(!std::filesystem::exists(settings.path())); // reading creates nothing

    settings.write("Main", "Folder", "/home/user/My Files");
    settings.write("Main", "Sort", "2");
    settings.write("Main", "Folder", "/tmp");
    QCOMPARE(testing::readFile(settings.path()),
             std::string("[Main]\r\nFolder=/tmp\r\nSort=2\r\n"));
    QCOMPARE(settings.read("main", "FOLDER", ""), std::string("/tmp"));
    QCOMPARE(settings.read("Other", "Folder", "/home"), std::string("/home"));
    // A value that would break the file is not written; the old one stays.
    settings.write("Main", "Folder", "/a\nb");
    QCOMPARE(settings.read("Main", "Folder", ""), std::string("/tmp"));
}

void SettingsTest::readsAtMost154Characters() {
    testing::TempDir dir;
    SettingsFile settings(SettingsFilePathIn(dir.path()));
    std::string longValue;
    for (int i = 0; i < 200; ++i)
        longValue += static_cast<char>('a' + i % 26);
    settings.write("Main", "Long", longValue);
    QCOMPARE(settings.read("Main", "Long", ""), longValue.substr(0, 154));
    QCOMPARE(settings.read("Main", "Missing", longValue), longValue.substr(0, 154));
}

void SettingsTest::folderExistsOnlyForListableFolders() {
    testing::TempDir dir;
    std::string folder = dir.file("sub dir");
    std::filesystem::create_directory(folder);
    std::string file = dir.file("plain.txt");
    testing::writeFile(file, "text");
    std::filesystem::create_symlink(folder, dir.file("link"));
    std::filesystem::create_symlink(file, dir.file("filelink"));

    QVERIFY(FolderExists(folder + "/"));
    QVERIFY(FolderExists(dir.file("link")));
    for (const std::string& path : {dir.file("missing"), file + "/", dir.file("filelink"), {}})
        QVERIFY2(!FolderExists(path), path.c_str());
}

} // namespace moxalo::app

QTEST_GUILESS_MAIN(moxalo::app::SettingsTest)
#include "SettingsTest.moc"
