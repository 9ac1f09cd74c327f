#include "catalogue/KeyDetails.h"

#include "catalogue/RegistryValues.h"
#include "platform/advapi/RegistryApi.h"

namespace moxalo::catalogue {

using namespace registry;

namespace {

// Every key is opened from the root by its full path, read, and closed at once.
class OpenedKey {
public:
    explicit OpenedKey(const std::string& path) {
        opened_ =
            RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &handle_) == ERROR_SUCCESS;
    }
    ~OpenedKey() {
        if (opened_)
            RegCloseKey(handle_);
    }
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;

    bool opened() const { return opened_; }
    HKEY handle() const { return handle_; }
    std::string text(const std::string& valueName) const {
        return opened_ ? ReadValueText(handle_, valueName) : std::string();
    }

private:
    HKEY handle_ = 0;
    bool opened_ = false;
};

ShellAction ReadAction(const std::string& verbPath, const std::string& verb) {
    ShellAction action;
    action.Action = OpenedKey(verbPath).text("");
    if (action.Action.empty())
        action.Action = verb;
    action.Command = OpenedKey(verbPath + "\\command").text("");
    return action;
}

void ReadActions(KeyDetails& d, const OpenedKey& shell, DetailsListener* listener) {
    char name[MAX_PATH] = {};
    char className[MAX_PATH] = {};
    FILETIME lastWrite;
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = MAX_PATH;
        DWORD classSize = MAX_PATH;
        if (RegEnumKeyExA(shell.handle(), i, name, &nameSize, nullptr, className, &classSize,
                          &lastWrite) != ERROR_SUCCESS)
            break;
        std::string verb = TrimNull(std::string_view(name, MAX_PATH));
        d.Actions.push_back(ReadAction(d.TypeKey + "\\shell\\" + verb, verb));
        if (listener)
            listener->ActionRead(d.Actions.back());
    }
}

} // namespace

KeyDetails ReadKeyDetails(const std::string& ext, DetailsListener* listener) {
    KeyDetails d;
    d.ExtensionKey = "." + ext;
    {
        OpenedKey key(d.ExtensionKey);
        d.KeyValue = key.text("");
        d.ContentType = key.text("content type");
    }
    if (listener)
        listener->ExtensionKeyRead(d);
    d.TypeKey = d.KeyValue.empty() ? d.ExtensionKey : d.KeyValue;
    d.DefaultIcon = OpenedKey(d.TypeKey + "\\DefaultIcon").text("");
    if (listener)
        listener->DefaultIconRead(d);
    OpenedKey shell(d.TypeKey + "\\shell");
    if (!shell.opened())
        return d;
    d.DefaultAction = shell.text("");
    if (listener)
        listener->DefaultActionRead(d);
    ReadActions(d, shell, listener);
    return d;
}

} // namespace moxalo::catalogue
