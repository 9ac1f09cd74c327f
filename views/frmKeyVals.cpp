#include "views/frmKeyVals.h"

#include "platform/ui/Twips.h"
#include "views/DetailsParts.h"

#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QRegion>
#include <QTreeWidget>
#include <algorithm>
#include <array>

namespace moxalo::views {

using ui::ControlKind;
using ui::DesignedControl;

namespace {

constexpr int kDesignedWidth = 9900;
constexpr int kDesignedHeight = 3045;
// What the text boxes of the right-hand column leave of the panel's width.
constexpr int kRightColumnMargin = 5500;

constexpr std::array<DesignedControl, 14> kControls = {{
    {"Label2", ControlKind::Label, "File Extension:", 120, 120, 1095, 255},
    {"txtExt", ControlKind::TextBox, "", 1680, 120, 1815, 285},
    {"Label3", ControlKind::Label, "Key Value:", 120, 480, 1095, 255},
    {"txtKeyValue", ControlKind::TextBox, "", 1680, 480, 1815, 285},
    {"Label5", ControlKind::Label, "Default Action:", 120, 840, 1095, 255},
    {"txtDefaultAction", ControlKind::TextBox, "", 1680, 840, 1815, 285},
    {"Label1", ControlKind::Label, "Context Type MIME:", 3720, 120, 1455, 255},
    {"txtContentType", ControlKind::TextBox, "", 5280, 120, 3135, 285},
    {"Label7", ControlKind::Label, "File Type:", 3720, 480, 735, 255},
    {"txtFileType", ControlKind::TextBox, "", 5280, 480, 3135, 285},
    {"Label4", ControlKind::Label, "Default Icon File:", 3720, 840, 1215, 255},
    {"txtDefIcon", ControlKind::TextBox, "", 5280, 840, 3135, 285},
    {"imgIco", ControlKind::Image, "", 8640, 120, 975, 975},
    {"lvwFile", ControlKind::ListView, "", 0, 1260, 9855, 1770},
}};

// Only the picture formats the panel was made to show; ".ICO" or "x.ico,0" are not among them.
bool namesPicture(const std::string& file) {
    return file.ends_with(".ico") || file.ends_with(".gif");
}

} // namespace

frmKeyVals::frmKeyVals(QWidget* parent)
    : QWidget(parent), resolvePath_([](const std::string& path) { return path; }) {
    fillWith(this, fromBgr(kDetailsBackColour));
    ui::placeControls(this, kControls);
    Label2 = controlOf<QLabel>(this, "Label2");
    txtExt = controlOf<QLineEdit>(this, "txtExt");
    Label3 = controlOf<QLabel>(this, "Label3");
    txtKeyValue = controlOf<QLineEdit>(this, "txtKeyValue");
    Label5 = controlOf<QLabel>(this, "Label5");
    txtDefaultAction = controlOf<QLineEdit>(this, "txtDefaultAction");
    Label1 = controlOf<QLabel>(this, "Label1");
    txtContentType = controlOf<QLineEdit>(this, "txtContentType");
    Label7 = controlOf<QLabel>(this, "Label7");
    txtFileType = controlOf<QLineEdit>(this, "txtFileType");
    Label4 = controlOf<QLabel>(this, "Label4");
    txtDefIcon = controlOf<QLineEdit>(this, "txtDefIcon");
    imgIco = controlOf<QLabel>(this, "imgIco");
    lvwFile = controlOf<QTreeWidget>(this, "lvwFile");

    addActionColumns(lvwFile);
    imgIco->lower();
    resize(ui::toPixels(kDesignedWidth, this), ui::toPixels(kDesignedHeight, this));
    ui::fitLabels(this);
}

void frmKeyVals::setPathResolver(std::function<std::string(const std::string&)> resolver) {
    resolvePath_ = std::move(resolver);
}

void frmKeyVals::ClearActions() {
    lvwFile->clear();
}

void frmKeyVals::DefaultIconRead(const catalogue::KeyDetails& /*soFar*/) {
    sizeActionColumns(lvwFile);
}

void frmKeyVals::ActionRead(const catalogue::ShellAction& action) {
    addActionRow(lvwFile, action);
}

void frmKeyVals::DetailsRead(const catalogue::KeyDetails& d,
                             const std::optional<std::string>& selectedFileType) {
    showText(txtExt, QString::fromStdString(d.ExtensionKey));
    showText(txtKeyValue, QString::fromStdString(d.KeyValue));
    showText(txtContentType, QString::fromStdString(d.ContentType));
    showText(txtDefaultAction, QString::fromStdString(d.DefaultAction));
    showText(txtDefIcon, QString::fromStdString(d.DefaultIcon));
    if (namesPicture(d.DefaultIcon))
        LoadIcon(txtDefIcon->text().toStdString());
    if (selectedFileType) {
        QString fileType = QString::fromStdString(*selectedFileType);
        showText(txtFileType, fileType);
        setWindowTitle(QStringLiteral("Values for: ") + fileType);
    }
}

void frmKeyVals::LoadIcon(const std::string& file) {
    // A picture that cannot be loaded leaves the one shown before.
    QPixmap picture;
    if (picture.load(QString::fromStdString(resolvePath_(file))))
        imgIco->setPixmap(picture);
}

void frmKeyVals::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmKeyVals::Form_Resize() {
    // The list spans the panel; the right-hand boxes stretch with it, down to nothing.
    const double width = ui::toTwips(this->width(), this);
    lvwFile->resize(this->width(), lvwFile->height());
    const int boxWidth = ui::toPixels(std::max(0.0, width - kRightColumnMargin), this);
    for (QLineEdit* box : {txtContentType, txtFileType, txtDefIcon})
        box->resize(boxWidth, box->height());
    showPictureBesideBoxes();
}

// The picture keeps its place, which the stretched boxes reach over on a wide panel: they are
// drawn over it, and of the picture only what lies beside their column shows.
void frmKeyVals::showPictureBesideBoxes() {
    const QRect picture = imgIco->geometry();
    const QRect column(txtContentType->x(), picture.top(), txtContentType->width(),
                       picture.height());
    const QRegion beside = QRegion(picture) - QRegion(column);
    imgIco->setVisible(!beside.isEmpty());
    if (!beside.isEmpty())
        imgIco->setMask(beside.translated(-picture.topLeft()));
}

} // namespace moxalo::views
