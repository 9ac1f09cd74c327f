#pragma once
// The registry editor's voice on a desktop: its question and reports in message boxes.

#include "tools/regedit/Voice.h"

namespace moxalo::regedit {

class MessageBoxVoice : public Voice {
public:
    bool mayImport(const std::string& question) override;
    void tell(const std::string& report) override;
    void complain(const std::string& failure) override;
};

// Whether the environment names a display to show message boxes on.
bool onDesktop();

} // namespace moxalo::regedit
