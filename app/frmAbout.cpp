#include "app/frmAbout.h"

#include "app/BuildInfo.h"
#include "app/ProgramIcon.h"
#include "app/modHelp.h"
#include "platform/ui/Desktop.h"
#include "platform/ui/Twips.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <array>

namespace moxalo::app {

namespace {

using ui::ControlKind;
using ui::DesignedControl;

// As designed, in twips; the rows below the home page name the registry and the data folder.
// The notice is one line, so its licence is named as briefly as the GNU programs name it.
constexpr std::array<DesignedControl, 20> kControls{{
    {"Label1", ControlKind::Label, "Moxalo", 0, 240, 6735, 495},
    {"Image1", ControlKind::Image, "", 240, 1080, 960, 960},
    {"Label2", ControlKind::Label, "Version", 1560, 1200, 1095, 255},
    {"Label8", ControlKind::Label, ":", 2760, 1200, 135, 255},
    {"Label13", ControlKind::Label, "", 3000, 1200, 3495, 255},
    {"Label3", ControlKind::Label, "Author", 1560, 1440, 1095, 255},
    {"Label10", ControlKind::Label, ":", 2760, 1440, 135, 255},
    {"Label15", ControlKind::Label, "", 3000, 1440, 3495, 255},
    {"Label4", ControlKind::Label, "Homepage", 1560, 1680, 1095, 255},
    {"Label11", ControlKind::Label, ":", 2760, 1680, 135, 255},
    {"Label16", ControlKind::Label, "", 3000, 1680, 3495, 255},
    {"Label5", ControlKind::Label, "Registry", 1560, 1920, 1095, 255},
    {"Label12", ControlKind::Label, ":", 2760, 1920, 135, 255},
    {"Label17", ControlKind::Label, "", 3000, 1920, 3495, 255},
    {"Label7", ControlKind::Label, "Settings", 1560, 2160, 1095, 255},
    {"Label9", ControlKind::Label, ":", 2760, 2160, 135, 255},
    {"Label18", ControlKind::Label, "", 3000, 2160, 3495, 255},
    {"Text1", ControlKind::MultiLineText,
     "Moxalo is provided as it is, without any warranty, express or implied, including that "
     "of fitness for a particular purpose. It reads registry files and changes them only on "
     "your command, after a backup where it deletes; keep your own copies of the registries "
     "you care about. Windows and regedit are trademarks of their owners.",
     240, 2520, 6255, 1455},
    {"Label6", ControlKind::Label,
     "Copyright (C) 2026 The Moxalo developers. GNU GPL version 3 or later.", 240, 4200, 6255, 255},
    {"Command1", ControlKind::CommandButton, "&Close", 5280, 4560, 1215, 375},
}};
constexpr int kClientWidth = 6735;
constexpr int kClientHeight = 5100;

QString joined(const std::vector<std::string>& parts) {
    QStringList list;
    for (const auto& part : parts)
        list << QString::fromStdString(part);
    return list.join(", ");
}

// A path too long for its label loses its middle, where paths differ least; the tip holds it
// whole.
void showWhole(QLabel* label, const QString& text) {
    label->setText(label->fontMetrics().elidedText(text, Qt::ElideMiddle, label->width()));
    label->setToolTip(text);
}

} // namespace

frmAbout::frmAbout(const AboutFacts& facts, QWidget* parent) : QDialog(parent) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("About");
    setModal(false);
    ui::placeControls(this, kControls);
    setFixedSize(ui::toPixels(kClientWidth, this), ui::toPixels(kClientHeight, this));
    Label1 = ui::controlOf<QLabel>(this, "Label1");
    Image1 = ui::controlOf<QLabel>(this, "Image1");
    Label13 = ui::controlOf<QLabel>(this, "Label13");
    Label15 = ui::controlOf<QLabel>(this, "Label15");
    Label16 = ui::controlOf<QLabel>(this, "Label16");
    Label17 = ui::controlOf<QLabel>(this, "Label17");
    Label18 = ui::controlOf<QLabel>(this, "Label18");
    Text1 = ui::controlOf<QPlainTextEdit>(this, "Text1");
    Label6 = ui::controlOf<QLabel>(this, "Label6");
    Command1 = ui::controlOf<QPushButton>(this, "Command1");

    QFont heading = Label1->font();
    heading.setPointSizeF(heading.pointSizeF() * 2);
    heading.setBold(true);
    Label1->setFont(heading);
    Label1->setAlignment(Qt::AlignCenter);
    Label6->setCursor(Qt::PointingHandCursor);
    Label6->installEventFilter(this);
    for (QLabel* value : {Label17, Label18})
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    connect(Command1, &QPushButton::clicked, this, &QDialog::close);
    ui::fitLabels(this);
    Form_Load(facts);
}

void frmAbout::Form_Load(const AboutFacts& facts) {
    Label13->setText(
        QString("%1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision));
    Label15->setText(kCompanyName);
    Label16->setText(HomePage());
    showWhole(Label17, facts.registrySources.empty() ? QString("none could be read")
                                                     : joined(facts.registrySources));
    showWhole(Label18, QString::fromStdString(facts.dataFolder));
    Image1->setPixmap(ProgramIcon().pixmap(64, 64));
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label6 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        ui::desktop().OpenUrl(HomePage());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace moxalo::app
