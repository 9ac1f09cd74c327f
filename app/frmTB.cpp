#include "app/frmTB.h"

#include "platform/ui/Twips.h"

#include <QIcon>
#include <QProgressBar>
#include <QString>
#include <QToolButton>
#include <algorithm>
#include <array>
#include <mutex>

// The pictures live in a static library, whose resource object the linker would leave out
// unless something refers to it; Q_INIT_RESOURCE must be called outside any namespace.
static void initToolbarIcons() {
    static std::once_flag once;
    std::call_once(once, [] { Q_INIT_RESOURCE(icons); });
}

namespace moxalo::app {

namespace {

using ui::ControlKind;
using ui::DesignedControl;

// As designed, in twips. The bar's top lines up with the pictures': 255 high against 240 it is
// centred to within 8 twips, less than a pixel at 96 DPI.
constexpr std::array<DesignedControl, 11> kControls{{
    {"imgSave", ControlKind::Button, "Save List", 120, 120, 240, 240},
    {"imgExport", ControlKind::Button, "Export selected key", 480, 120, 240, 240},
    {"imgExportEntire", ControlKind::Button, "Export entire list", 840, 120, 240, 240},
    {"imgExportWhole", ControlKind::Button, "Export whole registry", 1200, 120, 240, 240},
    {"Line1", ControlKind::Line, "", 1560, 120, 30, 240},
    {"imgImport", ControlKind::Button, "Import from backup", 1680, 120, 240, 240},
    {"Line2", ControlKind::Line, "", 2040, 120, 30, 240},
    {"imgView", ControlKind::Button, "View additional information", 2160, 120, 240, 240},
    {"Line3", ControlKind::Line, "", 2520, 120, 30, 240},
    {"imgBackups", ControlKind::Button, "View backups", 2640, 120, 240, 240},
    {"pBar1", ControlKind::ProgressBar, "", 3120, 120, 3135, 255},
}};

// The strip's own size: every control, with as much room after the last and below the
// lowest as there is before the first.
constexpr int kMargin = 120;
constexpr QSize designedSize() {
    int right = 0;
    int bottom = 0;
    for (const DesignedControl& design : kControls) {
        right = std::max(right, design.left + design.width);
        bottom = std::max(bottom, design.top + design.height);
    }
    return QSize(right + kMargin, bottom + kMargin);
}

// The desktop's icon theme first, so the strip matches the other programs; the bundled copy
// of the same freedesktop name where the theme has none, or there is no theme at all. The copies
// sit under :/moxalo, away from :/icons, where Qt looks for whole icon themes.
QIcon themedIcon(const char* name) {
    QIcon bundled;
    for (int size : {16, 32})
        bundled.addFile(
            QStringLiteral(":/moxalo/icons/%1/%2.png").arg(size).arg(QLatin1String(name)),
            QSize(size, size));
    return QIcon::fromTheme(QLatin1String(name), bundled);
}

} // namespace

frmTB::frmTB(QWidget* parent) : QWidget(parent) {
    initToolbarIcons();
    setWindowTitle(QStringLiteral("Toolbar"));

    moxalo::ui::placeControls(this, kControls);
    struct Picture {
        QToolButton** member;
        const char* name;
        const char* icon;
        Button button;
    };
    const std::array<Picture, 7> pictures{{
        {&imgSave, "imgSave", "document-save", Button::Save},
        {&imgExport, "imgExport", "edit-select-all", Button::Export},
        {&imgExportEntire, "imgExportEntire", "x-office-spreadsheet", Button::ExportEntire},
        {&imgExportWhole, "imgExportWhole", "computer", Button::ExportWhole},
        {&imgImport, "imgImport", "edit-undo", Button::Import},
        {&imgView, "imgView", "dialog-information", Button::View},
        {&imgBackups, "imgBackups", "folder", Button::Backups},
    }};
    for (const Picture& picture : pictures) {
        auto* button =
            findChild<QToolButton*>(QLatin1String(picture.name), Qt::FindDirectChildrenOnly);
        *picture.member = button;
        button->setIcon(themedIcon(picture.icon));
        // The picture fills its square; a screen at twice the scale gets the 32-pixel copy.
        button->setIconSize(button->size());
        // A click must leave the keyboard in the file list.
        button->setFocusPolicy(Qt::NoFocus);
        const Button which = picture.button;
        connect(button, &QToolButton::clicked, this, [this, which] { emit clicked(which); });
    }

    pBar1 = findChild<QProgressBar*>(QStringLiteral("pBar1"), Qt::FindDirectChildrenOnly);
    pBar1->setRange(0, 100);
    pBar1->setValue(0);
    // Too narrow to spare room for a percentage beside the bar.
    pBar1->setTextVisible(false);

    resize(sizeHint());
}

QSize frmTB::sizeHint() const {
    constexpr QSize twips = designedSize();
    return QSize(moxalo::ui::toPixels(twips.width(), this),
                 moxalo::ui::toPixels(twips.height(), this));
}

} // namespace moxalo::app
