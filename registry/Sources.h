#pragma once
// Opening the chosen registry sources: each is recognised by its content (a Wine prefix
// folder, a hive file and its kind, a regedit export) and opened as stores whose classes make
// up HKEY_CLASSES_ROOT.

#include "base/Result.h"
#include "registry/Registry.h"
#include "registry/SourceChoice.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace moxalo::registry {

enum class SourceKind {
    WinePrefix,
    WineRegistryFile, // a system.reg or user.reg named on its own
    SoftwareHive,
    UserClassesHive,
    NtUserHive,
    RegFile,
    WindowsPartition, // a mounted Windows partition, or a folder laid out as one
};

std::string describeKind(SourceKind kind);

struct OpenedSource {
    std::string path;
    SourceKind kind;
    // Lines that could not be read, as "file: line N: reason"; the rest of the source was.
    std::vector<std::string> warnings;
    // How a hive was read when it was not cleanly closed: "dirty; N log entries applied", or
    // "dirty; no logs: what Windows last flushed may be missing" (or "no log entry applies:",
    // the warnings telling why); "" otherwise. On a Windows partition, each dirty hive's, after
    // its file name and ": ", joined by "; ".
    std::string state = {};
    // For a Windows partition: the users found there, and the one whose hives were read.
    std::vector<std::string> users = {};
    std::string user = {};
};

struct OpenedRegistry {
    std::shared_ptr<Registry> registry;
    std::vector<OpenedSource> sources;
};

// Fails naming the source and what is wrong with it, or the code page. A .reg file of a choice
// that says why it may not be written is opened read-only.
Result<OpenedRegistry> openRegistry(const SourceChoice& choice);

// A Windows partition among the sources that holds the hives of several users, when the
// choice names none: opening it fails, saying so, and a window asks which user is meant
// instead, before it opens (SourceChoice::user).
struct UserQuestion {
    std::string partition; // the source's path
    std::vector<std::string> users;
};
std::optional<UserQuestion> userToChoose(const SourceChoice& choice);

// Why the sources cannot be written now, as far as their files tell without being read (a
// read-only file or folder, a running wineserver): a writer can say so before it starts. The
// write itself finds out for certain.
std::optional<std::string> whySourcesReadOnly(const SourceChoice& choice);

} // namespace moxalo::registry
