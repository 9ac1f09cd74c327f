#include "platform/ui/Twips.h"

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

// A label's designed width fits its caption in the font it was designed with; in another
// font it may need more, and a label cut off says less than one that runs on a little.
void place(QWidget* widget, const DesignedControl& design) {
    QRect rect = toPixels(design.left, design.top, design.width, design.height, widget);
    if (design.kind == ControlKind::Label)
        rect.setWidth(std::max(rect.width(), widget->sizeHint().width()));
    widget->setGeometry(rect);
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
