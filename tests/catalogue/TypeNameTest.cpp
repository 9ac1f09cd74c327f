// The type name a shell would give a file of each extension.

#include "platform/advapi/RegistryApi.h"
#include "platform/shell/ShellInfo.h"
#include "tests/support/TestRegistry.h"

#include <gtest/gtest.h>

using namespace moxalo::shell;
using namespace moxalo::testing;

TEST(TypeName, FollowsFriendlyNameThenTypeValueThenSyntheticName) {
    auto store = std::make_unique<moxalo::registry::MemoryStore>();
    put(*store, ".doc", "", sz("Word.Document.8"));
    put(*store, "Word.Document.8", "", sz("Microsoft Word 97 - 2003 Document"));
    put(*store, "Word.Document.8", "FriendlyTypeName", sz("Word 97-2003 Document"));
    put(*store, ".jpg", "", sz("jpegfile"));
    put(*store, "jpegfile", "", sz("JPEG Image"));
    put(*store, "jpegfile", "FriendlyTypeName",
        expandSz("@%SystemRoot%\\System32\\shell32.dll,-30596"));
    put(*store, ".odd", "", sz("missingtype"));
    put(*store, ".typed", "", sz("emptytype"));
    put(*store, "emptytype", "EditFlags", dword(0));
    put(*store, ".num", "", dword(7));
    put(*store, ".long", "", sz("longtype"));
    put(*store, "longtype", "",
        sz(std::string(70, 'a') + "\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9"));
    mountMemory(std::move(store));

    EXPECT_EQ(TypeNameOfExtension(".doc"), "Word 97-2003 Document");
    EXPECT_EQ(TypeNameOfExtension(".jpg"), "JPEG Image") << "indirect strings cannot be loaded";
    EXPECT_EQ(TypeNameOfExtension(".odd"), "ODD File");
    EXPECT_EQ(TypeNameOfExtension(".typed"), "TYPED File");
    EXPECT_EQ(TypeNameOfExtension(".num"), "NUM File");
    EXPECT_EQ(TypeNameOfExtension("."), "File");
    EXPECT_EQ(TypeNameOfExtension(".жук"), "ЖУК File");
    EXPECT_EQ(TypeNameOfExtension(".\xFFx"), "\xFFX File");

    SHFILEINFOA info;
    ASSERT_NE(SHGetFileInfoA(".long", FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                             SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES),
              0u);
    // 79 bytes fit; the cut falls inside the fifth "é", which is left out whole.
    EXPECT_EQ(std::string(info.szTypeName),
              std::string(70, 'a') + "\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9");
    ASSERT_NE(SHGetFileInfoA("C:\\dir\\report.final.DOC", FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                             SHGFI_TYPENAME),
              0u);
    EXPECT_STREQ(info.szTypeName, "Word 97-2003 Document");
    EXPECT_EQ(SHGetFileInfoA(".doc", 0, &info, 10, SHGFI_TYPENAME), 0u);
}

// The list asks for each extension's type twice in a row; what is kept between the two must
// not outlive a change of the registry.
TEST(TypeName, FollowsTheRegistryWhenItChanges) {
    auto typeNameOf = [](const char* path) {
        SHFILEINFOA info;
        SHGetFileInfoA(path, FILE_ATTRIBUTE_NORMAL, &info, sizeof info, SHGFI_TYPENAME);
        return std::string(info.szTypeName);
    };
    auto store = std::make_unique<moxalo::registry::MemoryStore>();
    put(*store, ".x", "", sz("xfile"));
    put(*store, "xfile", "", sz("X Document"));
    mountMemory(std::move(store));
    EXPECT_EQ(typeNameOf(".x"), "X Document");

    ASSERT_EQ(moxalo::registry::RegDeleteKeyA(moxalo::registry::HKEY_CLASSES_ROOT, "xfile"),
              moxalo::registry::ERROR_SUCCESS);
    EXPECT_EQ(typeNameOf(".x"), "X File") << "a deleted type is seen at once";

    auto other = std::make_unique<moxalo::registry::MemoryStore>();
    put(*other, ".x", "", sz("otherfile"));
    put(*other, "otherfile", "", sz("Other Document"));
    mountMemory(std::move(other));
    EXPECT_EQ(typeNameOf(".x"), "Other Document") << "another registry is another answer";
    moxalo::testing::mountRegistry(nullptr);
    EXPECT_EQ(typeNameOf(".x"), "X File") << "no registry holds no types";
}
