#pragma once
// The About window: the program's name, version and maker, the registry it reads and where it
// keeps its settings and backups. Made for each showing, filled as it is made, not modal.

#include <QDialog>
#include <string>
#include <vector>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace moxalo::app {

struct AboutFacts {
    std::vector<std::string> registrySources; // as the user named them, or as they were found
    std::string dataFolder;                   // where the settings and backups are
};

class frmAbout : public QDialog {
    Q_OBJECT
public:
    frmAbout(const AboutFacts& facts, QWidget* parent = nullptr);

    QLabel* Label1;  // the heading
    QLabel* Image1;  // the program's picture
    QLabel* Label13; // the version
    QLabel* Label15; // the maker
    QLabel* Label16; // the home page
    QLabel* Label17; // the registry being read
    QLabel* Label18; // the settings and backups folder
    QPlainTextEdit* Text1;
    QLabel* Label6; // the notice; a click opens the home page
    QPushButton* Command1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load(const AboutFacts& facts);
};

} // namespace moxalo::app
