#include "catalogue/DetailsReport.h"

#include "catalogue/AppTexts.h"

namespace moxalo::catalogue {

std::string strKeyDetails;

namespace {

std::string ActionText(const std::vector<ShellAction>& actions) {
    std::string text;
    for (const auto& action : actions) {
        if (!text.empty())
            text += kCrLf;
        text += action.Action + "\t" + action.Command;
    }
    return text;
}

} // namespace

std::string KeyDetailsText(const KeyDetails& d, const std::string& strTypeName) {
    std::string block;
    auto line = [&block](std::string_view text) {
        block += text;
        block += kCrLf;
    };
    // The default action is written before the icon, although the icon is read first.
    line("Extension: " + d.ExtensionKey);
    line("Key Value: " + d.KeyValue);
    line("Content Type: " + d.ContentType);
    line("Default Action: " + d.DefaultAction);
    line("Default Icon: " + d.DefaultIcon);
    line("File Type Name: " + strTypeName);
    line("File Extension: " + d.ExtensionKey.substr(1));
    line(kStarLine);
    line("Action Commands");
    line(ActionText(d.Actions));
    line(kStarLine);
    return block;
}

void Export_Key_Details(const std::string& strCheck, const std::string& strTypeName) {
    strKeyDetails = KeyDetailsText(ReadKeyDetails(strCheck), strTypeName);
}

} // namespace moxalo::catalogue
