#pragma once
// The program's settings, kept in a profile file beside the program ("Moxalo.ini"), so that
// each copy of the program keeps its own. Reading and writing go through the Windows profile
// functions, so that the file reads and changes as it does on Windows.

#include <string>

namespace moxalo::app {

// The settings file in `folder`: the application title with each blank made "_", and ".ini".
// The window keeps its settings in the one in the program's data folder (beside the program,
// for a copy of the user's own).
std::string SettingsFilePathIn(const std::string& folder);

// One settings file.
class SettingsFile {
public:
    explicit SettingsFile(std::string path);

    const std::string& path() const { return path_; }
    // The stored value or else `defaultValue`, read into a buffer of 155 characters and so cut
    // to 154. A value whose quotes keep blanks around it comes back without the quotes.
    std::string read(const std::string& section, const std::string& key,
                     const std::string& defaultValue) const;
    // Whether the value was saved is not asked: a setting lost is not worth stopping for.
    void write(const std::string& section, const std::string& key, const std::string& value) const;

private:
    std::string path_;
};

} // namespace moxalo::app
