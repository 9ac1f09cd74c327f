#pragma once
// What the registry editor tells the user besides its line on stderr and its exit status. From
// a terminal or a script nobody else is there to tell; on a desktop, where the program starts it,
// its message boxes do (MessageBoxVoice.h), as regedit's own do on Windows.

#include <string>

namespace moxalo::regedit {

class Voice {
public:
    virtual ~Voice() = default;
    // Whether the import may go ahead; asked before anything is changed.
    virtual bool mayImport(const std::string& /*question*/) { return true; }
    // What an import did.
    virtual void tell(const std::string& /*report*/) {}
    // Why the request was not carried out (the same words as on stderr).
    virtual void complain(const std::string& /*failure*/) {}
};

} // namespace moxalo::regedit
