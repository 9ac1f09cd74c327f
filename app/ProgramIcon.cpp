#include "app/ProgramIcon.h"

namespace moxalo::app {

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QString(":/moxalo/icons/app/moxalo-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace moxalo::app
