#include "platform/ui/Twips.h"

#include <QFont>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>
#include <cmath>

namespace moxalo::ui {

namespace {

// What the program was designed at, when no screen can be asked.
constexpr double kDesignDpi = 96.0;

QWidget* makeControl(QWidget* parent, const DesignedControl& design) {
    QString caption = QString::fromUtf8(design.caption);
    switch (design.kind) {
    case ControlKind::Label:
        return new QLabel(caption, parent);
    case ControlKind::TextBox: {
        auto* box = new QLineEdit(caption, parent);
        box->setReadOnly(true);
        return box;
    }
    case ControlKind::ListView: {
        auto* list = new QTreeWidget(parent);
        list->setRootIsDecorated(false);
        list->setUniformRowHeights(true);
        list->header()->setStretchLastSection(false);
        return list;
    }
    case ControlKind::Image: {
        auto* image = new QLabel(parent);
        image->setScaledContents(true);
        return image;
    }
    case ControlKind::Shape: {
        auto* shape = new QFrame(parent);
        shape->setAutoFillBackground(true);
        return shape;
    }
    case ControlKind::ProgressBar:
        return new QProgressBar(parent);
    case ControlKind::Line: {
        auto* line = new QFrame(parent);
        line->setFrameShape(QFrame::VLine);
        line->setFrameShadow(QFrame::Sunken);
        return line;
    }
    case ControlKind::CommandButton:
        return new QPushButton(caption, parent);
    case ControlKind::MultiLineText: {
        auto* box = new QPlainTextEdit(caption, parent);
        box->setReadOnly(true);
        return box;
    }
    case ControlKind::Button: {
        auto* button = new QToolButton(parent);
        button->setAutoRaise(true);
        button->setToolTip(caption);
        return button;
    }
    }
    return new QWidget(parent);
}

} // namespace

double logicalDpi(const QWidget* widget) {
    if (widget != nullptr)
        return widget->logicalDpiX();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        return screen->logicalDotsPerInchX();
    return kDesignDpi;
}

int toPixels(double twips, const QWidget* widget) {
    return static_cast<int>(std::lround(twips * logicalDpi(widget) / kTwipsPerInch));
}

double toTwips(int pixels, const QWidget* widget) {
    return pixels * kTwipsPerInch / logicalDpi(widget);
}

QRect toPixels(double left, double top, double width, double height, const QWidget* widget) {
    return QRect(toPixels(left, widget), toPixels(top, widget), toPixels(width, widget),
                 toPixels(height, widget));
}

void place(QWidget* widget, const DesignedControl& design) {
    widget->setGeometry(toPixels(design.left, design.top, design.width, design.height, widget));
}

namespace {

// How far a label may run: up to the next control to its right on its row, else to the edge
// of its window.
int roomOf(const QLabel* label) {
    const QRect own = label->geometry();
    int right = label->parentWidget()->width();
    for (const QObject* object : label->parentWidget()->children()) {
        const auto* other = qobject_cast<const QWidget*>(object);
        if (other == nullptr || other == label || other->isWindow())
            continue;
        const QRect place = other->geometry();
        if (place.left() > own.left() && place.top() <= own.bottom() && place.bottom() >= own.top())
            right = std::min(right, place.left());
    }
    return right - own.left();
}

} // namespace

// A label's designed width fits its caption in the font it was designed with. In another font
// it may need more: it runs on up to the next control, and where that is too little its
// font is made smaller until the caption fits, as a caption cut off says less.
void fitLabels(QWidget* window) {
    constexpr double kSmallestPoints = 5.0;
    for (QLabel* label : window->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (label->text().isEmpty() || label->wordWrap())
            continue;
        const int room = roomOf(label);
        QFont font = label->font();
        while (label->sizeHint().width() > room && font.pointSizeF() > kSmallestPoints) {
            font.setPointSizeF(font.pointSizeF() - 0.25);
            label->setFont(font);
        }
        label->resize(std::max(label->width(), std::min(label->sizeHint().width(), room)),
                      label->height());
    }
}

std::vector<QWidget*> placeControls(QWidget* parent, std::span<const DesignedControl> table) {
    std::vector<QWidget*> controls;
    controls.reserve(table.size());
    for (const DesignedControl& design : table) {
        QWidget* control = makeControl(parent, design);
        control->setObjectName(QString::fromUtf8(design.name));
        place(control, design);
        controls.push_back(control);
    }
    return controls;
}

} // namespace moxalo::ui
