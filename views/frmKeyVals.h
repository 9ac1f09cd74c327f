#pragma once
// The key details panel: docked along the bottom of the main window, it shows what the
// registry holds about the type of the extension clicked in the file list.

#include "catalogue/KeyDetails.h"

#include <QWidget>
#include <functional>
#include <optional>
#include <string>

class QLabel;
class QLineEdit;
class QTreeWidget;

namespace moxalo::views {

class frmKeyVals : public QWidget, public catalogue::DetailsListener {
    Q_OBJECT

public:
    explicit frmKeyVals(QWidget* parent = nullptr);

    // Gives the file the default icon names on this machine (a Windows path under a Wine
    // prefix, say); the path is used as it is until one is given.
    void setPathResolver(std::function<std::string(const std::string&)> resolver);

    // Removes every row of the action list, before another extension's details are read.
    void ClearActions();
    // Called while ReadKeyDetails reads: sizes the action list's columns, adds each row.
    void DefaultIconRead(const catalogue::KeyDetails& soFar) override;
    void ActionRead(const catalogue::ShellAction& action) override;
    // Shows what was read; the file type and the caption change only when a row of the file
    // list is selected. The picture changes only for a .ico or .gif file that loads.
    void DetailsRead(const catalogue::KeyDetails& d,
                     const std::optional<std::string>& selectedFileType);

    QLabel* Label2;
    QLineEdit* txtExt;
    QLabel* Label3;
    QLineEdit* txtKeyValue;
    QLabel* Label5;
    QLineEdit* txtDefaultAction;
    QLabel* Label1;
    QLineEdit* txtContentType;
    QLabel* Label7;
    QLineEdit* txtFileType;
    QLabel* Label4;
    QLineEdit* txtDefIcon;
    QLabel* imgIco;
    QTreeWidget* lvwFile;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Form_Resize();
    void showPictureBesideBoxes();
    void LoadIcon(const std::string& file);

    std::function<std::string(const std::string&)> resolvePath_;
};

} // namespace moxalo::views
