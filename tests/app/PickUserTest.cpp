// The pick list shown before the window opens on a Windows partition with several users: the
// user picked is the one whose hives are read, a cancel picks none, and a partition with one
// user asks nothing.

#include "app/PickUser.h"

#include "runtime/ChosenRegistry.h"
#include "tests/support/Environments.h"
#include "tests/support/PartitionLayout.h"
#include "tests/support/SharedHives.h"
#include "tests/windows/RecordingDesktop.h"

#include <QTest>

using namespace moxalo;
using namespace moxalo::testing;

class PickUserTest : public QObject {
    Q_OBJECT

private slots:
    void thePickedUsersHivesAreRead() {
        if (!haveSharedHives())
            QSKIP("no shared hives");
        TempDir partition;
        layOutPartition(partition, {"alice", "bob"});
        RecordingDesktop desktop;
        desktop.pickAnswers = {1};
        runtime::SourceOptions options{{partition.path()}};
        QVERIFY(app::PickPartitionUser(options, noVariables, "/opt/moxalo"));
        QCOMPARE(desktop.picks.size(), std::size_t{1});
        QCOMPARE(desktop.picks[0].items, (QStringList{"alice", "bob"}));
        QVERIFY(desktop.picks[0].label.contains(QString::fromStdString(partition.path())));
        QCOMPARE(options.user, "bob");
        auto chosen = runtime::openChosenRegistry(options, noVariables, "/opt/moxalo");
        QVERIFY2(chosen, chosen ? "" : chosen.error().c_str());
        QCOMPARE(chosen->sources[0].user, "bob");

        // Asked again with the user named, nothing is asked.
        QVERIFY(app::PickPartitionUser(options, noVariables, "/opt/moxalo"));
        QCOMPARE(desktop.picks.size(), std::size_t{1});

        // Cancelled: no user, and the registry says why it cannot be opened.
        runtime::SourceOptions cancelled{{partition.path()}};
        QVERIFY(!app::PickPartitionUser(cancelled, noVariables, "/opt/moxalo"));
        QCOMPARE(cancelled.user, "");
        QVERIFY(!runtime::openChosenRegistry(cancelled, noVariables, "/opt/moxalo"));
    }

    void onePartitionUserOrAnotherSourceAsksNothing() {
        if (!haveSharedHives())
            QSKIP("no shared hives");
        TempDir single;
        layOutPartition(single, {"carol"});
        RecordingDesktop desktop;
        runtime::SourceOptions options{{single.path()}};
        QVERIFY(app::PickPartitionUser(options, noVariables, "/opt/moxalo"));
        runtime::SourceOptions sample{{MOXALO_SAMPLE}};
        QVERIFY(app::PickPartitionUser(sample, noVariables, "/opt/moxalo"));
        QVERIFY(desktop.picks.empty());
        QCOMPARE(options.user, "");
    }
};

QTEST_MAIN(PickUserTest)
#include "PickUserTest.moc"
