#include "app/PickUser.h"

#include "gui/Texts.h"
#include "platform/ui/Desktop.h"
#include "runtime/ChosenRegistry.h"

namespace moxalo::app {

bool PickPartitionUser(runtime::SourceOptions& options, const runtime::Environment& env,
                       const std::string& programFolder, QWidget* owner) {
    std::optional<runtime::UserQuestion> question = runtime::needsUser(options, env, programFolder);
    if (!question)
        return true;
    QStringList users;
    for (const std::string& user : question->users)
        users << qtext(user);
    int picked = ui::desktop().PickItem(
        owner, AppTitle(),
        "The Windows partition " + qtext(question->partition) +
            " holds the hives of several users.\nWhose file types are to be shown?",
        users);
    if (picked < 0 || picked >= static_cast<int>(question->users.size()))
        return false;
    options.user = question->users[static_cast<std::size_t>(picked)];
    return true;
}

} // namespace moxalo::app
