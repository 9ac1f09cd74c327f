#pragma once
// Window positions and sizes are designed in twips (1440 to the inch); on the screen they
// become pixels at the screen's logical DPI: 15 twips a pixel at 96 DPI, 7.5 at 192.

#include <QRect>
#include <QString>
#include <QWidget>
#include <span>
#include <vector>

class QWidget;

namespace moxalo::ui {

inline constexpr double kTwipsPerInch = 1440.0;

// The logical DPI of the screen `widget` is on (of the primary screen without one).
double logicalDpi(const QWidget* widget);
int toPixels(double twips, const QWidget* widget);
double toTwips(int pixels, const QWidget* widget);
// A rectangle given in twips (left, top, width, height), in pixels.
QRect toPixels(double left, double top, double width, double height, const QWidget* widget);

// One control of a window whose controls have fixed places: what it is called, its kind,
// its caption and its rectangle in twips, as the window was designed.
enum class ControlKind {
    Label,
    TextBox,
    ListView,
    Image,
    Shape,
    ProgressBar,
    Line,
    Button,
    CommandButton, // a push button with its caption
    MultiLineText, // a read-only box of several lines
};
struct DesignedControl {
    const char* name;
    ControlKind kind;
    const char* caption;
    int left, top, width, height;
};

// Creates the controls of `table` on `parent`, named and placed as designed; returns them in
// the order of the table. Text boxes are read-only; list views are in report style.
std::vector<QWidget*> placeControls(QWidget* parent, std::span<const DesignedControl> table);
// The control called `name` that placeControls put on `form`.
template <class Control> Control* controlOf(QWidget* form, const char* name) {
    return form->findChild<Control*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
}

// Places `widget` at a twips rectangle again (after a change of DPI or of a size).
void place(QWidget* widget, const DesignedControl& design);
// Makes every captioned label of `window` show its whole caption in the font it has, wider
// or in a smaller size, without running under the control beside it. Called once the window
// has its size and its labels their fonts.
void fitLabels(QWidget* window);

} // namespace moxalo::ui
