// What the windows show of an effective association: which lines the summary has, when a row of
// the list is marked and why, and the text Copy All gives.

#include "catalogue/effective/AssociationTexts.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace moxalo::catalogue::effective;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

std::vector<std::string> labels(const std::vector<Fact>& facts) {
    std::vector<std::string> out;
    for (const auto& fact : facts)
        out.push_back(fact.label);
    return out;
}

std::string valueOf(const std::vector<Fact>& facts, const std::string& label) {
    for (const auto& fact : facts)
        if (fact.label == label)
            return fact.value;
    return "(no such line)";
}

Association photos() {
    Association a;
    a.extension = ".jpg";
    a.progId = "AppX43hnxtbyyps62jhe9sqpdzxn1790zetc";
    a.via = Via::UserChoice;
    a.choice = Choice::Verified;
    a.choiceProgId = a.progId;
    a.verb = "open";
    a.delegateExecute = "{4ED3A719-CEA8-4BD9-910D-E252F997AFC2}";
    a.appUserModelId = "Microsoft.Windows.Photos_8wekyb3d8bbwe!App";
    a.defaultApp = "@{Microsoft.Windows.Photos_2019.19071.12548.0_x64__8wekyb3d8bbwe?ms-resource:"
                   "//Microsoft.Windows.Photos/Resources/AppStoreName}";
    a.hops.push_back(
        {"UserChoice", "HKCU\\Software\\...\\.jpg\\UserChoice", a.progId, "hash verified"});
    return a;
}

} // namespace

TEST(AssociationTexts, theSummaryTellsWhatRunsAndLeavesOutWhatIsNot) {
    Association jpg = photos();
    UserFacts user{"S-1-5-21-1-2-3-1001", "UserChoice owner"};
    std::vector<Fact> facts = summaryOf(jpg, user);
    // A packaged app runs a COM class: no command line, and no "(none)" for it.
    EXPECT_THAT(labels(facts),
                ElementsAre("Extension", "Class", "Via", "Verb", "DelegateExecute",
                            "AppUserModelId", "Default app", "User's choice", "Verdict", "User"));
    EXPECT_EQ(valueOf(facts, "Via"), "UserChoice");
    EXPECT_EQ(valueOf(facts, "Verdict"), "hash verified");
    EXPECT_EQ(valueOf(facts, "User"), "S-1-5-21-1-2-3-1001 (from the UserChoice owner)");
    EXPECT_FALSE(isSuspect(jpg));

    // Nothing opens it: the class and the command say so; Wine's blind spot is told.
    Association bare;
    bare.extension = ".bare";
    bare.seenByWine = false;
    facts = summaryOf(bare, {});
    EXPECT_EQ(valueOf(facts, "Class"), "(none opens it)");
    EXPECT_EQ(valueOf(facts, "Command"), "(none)");
    EXPECT_EQ(valueOf(facts, "Via"), "none");
    EXPECT_THAT(valueOf(facts, "Seen by Wine"), HasSubstr("only the user's classes"));
    EXPECT_THAT(valueOf(facts, "User"), HasSubstr("unknown"));
    EXPECT_EQ(valueOf(facts, "User's choice"), "(no such line)");
}

TEST(AssociationTexts, aChoiceWindowsWouldNotHonourMarksItsRowAndSaysWhy) {
    Association txt;
    txt.extension = ".txt";
    txt.progId = "txtfile";
    txt.via = Via::MachineClass;
    txt.choice = Choice::Fails;
    txt.choiceProgId = "evilfile";
    txt.choiceWhy = "written at 2024-03-01 10:02";
    txt.defaultApp = "Notepad";

    EffectiveCells row = cellsOf(txt);
    EXPECT_EQ(row.cells[0], "Notepad");
    EXPECT_EQ(row.cells[1], "txtfile");
    EXPECT_EQ(row.cells[2], "machine class");
    EXPECT_EQ(row.cells[3], "hash fails");
    EXPECT_TRUE(row.marked);
    EXPECT_THAT(row.why, HasSubstr("hash fails (written at 2024-03-01 10:02)"));
    EXPECT_THAT(row.why, HasSubstr("Windows resets"));
    EXPECT_EQ(verdictOf(txt), "hash fails: written at 2024-03-01 10:02");

    // A choice that cannot be checked is no fault, unless its class exists nowhere.
    txt.choice = Choice::CannotCheck;
    txt.choiceWhy = "a .reg file keeps no key times";
    EXPECT_FALSE(cellsOf(txt).marked);
    EXPECT_EQ(cellsOf(txt).why, "");
    txt.dangling = true;
    row = cellsOf(txt);
    EXPECT_TRUE(row.marked);
    EXPECT_EQ(row.cells[3], "cannot be checked, dangling");
    EXPECT_THAT(row.why, HasSubstr("evilfile exists in no classes"));
    EXPECT_EQ(verdictOf(txt), "cannot be checked: a .reg file keeps no key times; dangling: "
                              "evilfile exists in no classes");

    EffectiveCells failed = cellsOfFailure("/cases/NTUSER.DAT: cannot read the key");
    EXPECT_EQ(failed.cells[2], "?");
    EXPECT_FALSE(failed.marked);
    EXPECT_EQ(failed.why, "/cases/NTUSER.DAT: cannot read the key");
}

TEST(AssociationTexts, theReportHoldsEverythingAsTabSeparatedRows) {
    Association jpg = photos();
    std::vector<Candidate> offered = {
        {"AppX43hnxtbyyps62jhe9sqpdzxn1790zetc", "UserChoice", "HKCU\\...\\UserChoice"},
        {"mspaint.exe", "FileExts OpenWithList", "HKCU\\...\\OpenWithList"}};
    std::string text = reportOf(jpg, offered, {});
    EXPECT_THAT(text, HasSubstr("Effective association of .jpg\n"));
    EXPECT_THAT(text, HasSubstr("\nAppUserModelId: Microsoft.Windows.Photos_8wekyb3d8bbwe!App\n"));
    EXPECT_THAT(text, HasSubstr("\nSteps\nStep\tValue\tKey\tNote\nUserChoice\t"
                                "AppX43hnxtbyyps62jhe9sqpdzxn1790zetc\t"
                                "HKCU\\Software\\...\\.jpg\\UserChoice\thash verified\n"));
    EXPECT_THAT(text, HasSubstr("\nOpen With\nHandler\tSource\tKey\n"
                                "AppX43hnxtbyyps62jhe9sqpdzxn1790zetc\tUserChoice\t"
                                "HKCU\\...\\UserChoice\nmspaint.exe\tFileExts OpenWithList\t"));
}
