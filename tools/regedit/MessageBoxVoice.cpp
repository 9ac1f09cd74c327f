#include "tools/regedit/MessageBoxVoice.h"

#include "platform/ui/Desktop.h"
#include "tools/regedit/EditorTexts.h"

#include <cstdlib>

namespace moxalo::regedit {

namespace {

int show(const std::string& text, int style) {
    return ui::desktop().MsgBox(nullptr, QString::fromStdString(text), style, kEditorTitle);
}

} // namespace

bool MessageBoxVoice::mayImport(const std::string& question) {
    return show(question, ui::vbYesNo | ui::vbQuestion) == ui::vbYes;
}

void MessageBoxVoice::tell(const std::string& report) {
    show(report, ui::vbInformation);
}

void MessageBoxVoice::complain(const std::string& failure) {
    show(failure, ui::vbExclamation);
}

bool onDesktop() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0')
            return true;
    }
    return false;
}

} // namespace moxalo::regedit
