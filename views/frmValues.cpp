#include "views/frmValues.h"

#include "gui/Texts.h"
#include "platform/ui/Twips.h"
#include "views/DetailsParts.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <QTreeWidget>
#include <algorithm>
#include <array>

namespace moxalo::views {

using ui::ControlKind;
using ui::DesignedControl;

namespace {

constexpr int kDesignedWidth = 7050;
constexpr int kDesignedHeight = 3480;
// The window's width with its frame, whatever the frame's width on this desktop.
constexpr int kOuterWidth = 7155;
constexpr unsigned kCloseHoverColour = 0xFFFFFF;

// Shape1 comes before Label6, so that the label is drawn over it.
constexpr std::array<DesignedControl, 15> kControls = {{
    {"Label2", ControlKind::Label, "File Extension", 120, 120, 1095, 255},
    {"Text1", ControlKind::TextBox, "", 120, 360, 1815, 285},
    {"Label7", ControlKind::Label, "File Type", 2160, 120, 735, 255},
    {"Text6", ControlKind::TextBox, "", 2160, 360, 4815, 285},
    {"Label3", ControlKind::Label, "Registry Key Value", 120, 720, 1455, 255},
    {"Text2", ControlKind::TextBox, "", 120, 960, 1815, 285},
    {"Label1", ControlKind::Label, "Context Type MIME", 2160, 720, 1455, 255},
    {"Text3", ControlKind::TextBox, "", 2160, 960, 2655, 285},
    {"Label5", ControlKind::Label, "Default Action", 5040, 720, 1095, 255},
    {"Text5", ControlKind::TextBox, "", 5040, 960, 1935, 285},
    {"Label4", ControlKind::Label, "Default Icon File", 120, 1320, 1215, 255},
    {"Text4", ControlKind::TextBox, "", 120, 1560, 6855, 285},
    {"lvwFile", ControlKind::ListView, "", 120, 1920, 6855, 1170},
    {"Shape1", ControlKind::Shape, "", 5760, 3120, 1215, 285},
    {"Label6", ControlKind::Label, "Close", 5760, 3120, 1215, 255},
}};

} // namespace

frmValues::frmValues(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    fillWith(this, fromBgr(kDetailsBackColour));
    ui::placeControls(this, kControls);
    Label2 = controlOf<QLabel>(this, "Label2");
    Text1 = controlOf<QLineEdit>(this, "Text1");
    Label7 = controlOf<QLabel>(this, "Label7");
    Text6 = controlOf<QLineEdit>(this, "Text6");
    Label3 = controlOf<QLabel>(this, "Label3");
    Text2 = controlOf<QLineEdit>(this, "Text2");
    Label1 = controlOf<QLabel>(this, "Label1");
    Text3 = controlOf<QLineEdit>(this, "Text3");
    Label5 = controlOf<QLabel>(this, "Label5");
    Text5 = controlOf<QLineEdit>(this, "Text5");
    Label4 = controlOf<QLabel>(this, "Label4");
    Text4 = controlOf<QLineEdit>(this, "Text4");
    lvwFile = controlOf<QTreeWidget>(this, "lvwFile");
    Shape1 = controlOf<QFrame>(this, "Shape1");
    Label6 = controlOf<QLabel>(this, "Label6");

    addActionColumns(lvwFile);

    // The shape is only paint: the pointer over it is over the window itself.
    fillWith(Shape1, fromBgr(kDetailsBackColour));
    Shape1->setAttribute(Qt::WA_TransparentForMouseEvents);
    QFont font = Label6->font();
    font.setPointSize(12);
    Label6->setFont(font);
    Label6->setAlignment(Qt::AlignCenter);
    Label6->setCursor(Qt::PointingHandCursor);
    Label6->setMouseTracking(true);
    Label6->installEventFilter(this);
    setMouseTracking(true);

    const QSize client(ui::toPixels(kDesignedWidth, this), ui::toPixels(kDesignedHeight, this));
    setFixedSize(client);
    ui::fitLabels(this);
}

void frmValues::Begin(const std::string& extensionKey) {
    showText(Text1, qtext(extensionKey));
}

void frmValues::ExtensionKeyRead(const catalogue::KeyDetails& soFar) {
    showText(Text2, qtext(soFar.KeyValue));
    showText(Text3, qtext(soFar.ContentType));
}

void frmValues::DefaultIconRead(const catalogue::KeyDetails& soFar) {
    showText(Text4, qtext(soFar.DefaultIcon));
    sizeActionColumns(lvwFile);
}

void frmValues::DefaultActionRead(const catalogue::KeyDetails& soFar) {
    showText(Text5, qtext(soFar.DefaultAction));
}

void frmValues::ActionRead(const catalogue::ShellAction& action) {
    addActionRow(lvwFile, action);
}

void frmValues::Finish(const std::string& strFileType,
                       const std::optional<std::string>& selectedFileType) {
    showText(Text6, qtext(strFileType));
    if (selectedFileType)
        setWindowTitle(QStringLiteral("Values for: ") + qtext(*selectedFileType));
}

bool frmValues::eventFilter(QObject* watched, QEvent* event) {
    if (watched != Label6)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseMove:
        fillWith(Shape1, fromBgr(kCloseHoverColour));
        break;
    case QEvent::MouseButtonRelease: {
        // A click: the label has the pointer from the press on, so only where it is let go
        // counts.
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            Label6->rect().contains(mouse->position().toPoint())) {
            close();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void frmValues::mouseMoveEvent(QMouseEvent* event) {
    // Moves over the other controls reach the window too, passed on by controls that do not
    // track the pointer; only its own surface puts the shape back.
    if (childAt(event->position().toPoint()) == nullptr)
        fillWith(Shape1, palette().color(QPalette::Window));
    QDialog::mouseMoveEvent(event);
}

void frmValues::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Form_Resize();
    if (!centred_) {
        centred_ = true;
        CentreOnScreen();
    }
}

void frmValues::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Form_Resize();
}

void frmValues::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    // The window manager frames the window after it is shown and moves it into the frame, so
    // the frame's width may be known only at one of the moves that follow the showing.
    Form_Resize();
}

void frmValues::Form_Resize() {
    // The outer width is fixed; the client area gets what the frame leaves of it.
    const int frame = frameGeometry().width() - geometry().width();
    const int client = std::max(0, ui::toPixels(kOuterWidth, this) - frame);
    if (minimumWidth() != client || maximumWidth() != client)
        setFixedWidth(client);
}

void frmValues::CentreOnScreen() {
    const QScreen* where = screen();
    if (where == nullptr)
        return;
    const QRect area = where->geometry();
    const QRect outer = frameGeometry();
    move(area.x() + (area.width() - outer.width()) / 2,
         area.y() + (area.height() - outer.height()) / 2);
}

} // namespace moxalo::views
