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
    void settingsFileIsNamedAfterTheProgramInItsFolder();
    void readsTheValueOrTheDefault();
    void readsAtMost154Characters();
    void writtenValuesReadBack();
    void folderExistsOnlyForListableFolders();
};

void SettingsTest::settingsFileIsNamedAfterTheProgramInItsFolder() {
    QCOMPARE(SettingsFilePathIn("/opt/moxalo"), std::string("/opt/moxalo/Moxalo.ini"));
    QCOMPARE(SettingsFilePathIn("/opt/moxalo/"), std::string("/opt/moxalo/Moxalo.ini"));
    QCOMPARE(SettingsFilePathIn("/"), std::string("/Moxalo.ini"));
}

void SettingsTest::readsTheValueOrTheDefault() {
    testing::TempDir dir;
    SettingsFile settings(SettingsFilePathIn(dir.path()));
    QCOMPARE(settings.read("Main", "Folder", "/home"), std::string("/home"));
    QVERIFY(!std::filesystem::exists(settings.path())); // reading creates nothing

    testing::writeFile(settings.path(), "[Main]\r\nFolder=/srv/files\r\nPadded=\"  x  \"\r\n");
    QCOMPARE(settings.read("main", "FOLDER", "/home"), std::string("/srv/files"));
    QCOMPARE(settings.read("Main", "Padded", ""), std::string("  x  "));
    QCOMPARE(settings.read("Other", "Folder", "/home"), std::string("/home"));
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
    settings.write("Main", "Fits", longValue.substr(0, 154));
    QCOMPARE(settings.read("Main", "Fits", ""), longValue.substr(0, 154));
}

void SettingsTest::writtenValuesReadBack() {
    testing::TempDir dir;
    SettingsFile settings(SettingsFilePathIn(dir.path()));
    settings.write("Main", "Folder", "/home/user/My Files");
    settings.write("Main", "Sort", "2");
    settings.write("Main", "Folder", "/tmp");
    QCOMPARE(settings.read("Main", "Folder", ""), std::string("/tmp"));
    QCOMPARE(settings.read("Main", "Sort", ""), std::string("2"));
    QCOMPARE(testing::readFile(settings.path()),
             std::string("[Main]\r\nFolder=/tmp\r\nSort=2\r\n"));

    // A value that would break the file is not written; the old one stays.
    settings.write("Main", "Folder", "/a\nb");
    QCOMPARE(settings.read("Main", "Folder", ""), std::string("/tmp"));
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
    QVERIFY(!FolderExists(dir.file("missing")));
    QVERIFY(!FolderExists(file + "/"));
    QVERIFY(!FolderExists(dir.file("filelink")));
    QVERIFY(!FolderExists(""));
}

} // namespace moxalo::app

QTEST_GUILESS_MAIN(moxalo::app::SettingsTest)
#include "SettingsTest.moc"
