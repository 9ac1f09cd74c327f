#pragma once
// What the registry holds about one extension's type: read the same way for the details
// window, the details panel and the extended list file.

#include <string>
#include <vector>

namespace moxalo::catalogue {

struct ShellAction {
    std::string Action;  // the verb key's default value, else the verb's own name
    std::string Command; // the verb's command; empty when it has none
    bool operator==(const ShellAction&) const = default;
};

struct KeyDetails {
    std::string ExtensionKey;         // ".txt"
    std::string KeyValue;             // the extension key's default value: the type key's name
    std::string ContentType;          // the MIME type
    std::string TypeKey;              // KeyValue, or ExtensionKey when that is empty
    std::string DefaultIcon;          // as stored, unexpanded
    std::string DefaultAction;        // the shell key's default value
    std::vector<ShellAction> Actions; // in the registry's enumeration order
};

// Told of each part as soon as it is read, so that a window can fill its controls in reading
// order; a verb's row is added before the next verb is read.
class DetailsListener {
public:
    virtual ~DetailsListener() = default;
    virtual void ExtensionKeyRead(const KeyDetails& /*soFar*/) {}
    virtual void DefaultIconRead(const KeyDetails& /*soFar*/) {}
    virtual void DefaultActionRead(const KeyDetails& /*soFar*/) {}
    virtual void ActionRead(const ShellAction& /*action*/) {}
};

// `ext` is the extension without its dot. Whatever cannot be read stays empty.
KeyDetails ReadKeyDetails(const std::string& ext, DetailsListener* listener = nullptr);

} // namespace moxalo::catalogue
