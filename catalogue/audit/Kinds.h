#pragma once
// The kinds of classes, extensions and programs the audit judges by: the classes whose commands
// run with elevation or run programs themselves, the types that hold only data, and the programs
// that run whatever code they are handed.

#include <span>
#include <string>
#include <string_view>

namespace moxalo::catalogue::audit {

// exefile, mscfile, ms-settings, Folder and their like: the classes an elevation bypass or a
// hijack of every program's start rewrites.
bool isSensitiveClass(std::string_view progId);
std::span<const std::string_view> sensitiveClasses();
// .txt, .jpg, .pdf, ...: a file of the type is read, never run.
bool isDataExtension(std::string_view extension);
// exefile, batfile, VBSFile, ...: a class that runs the file it opens.
bool isExecutableClass(std::string_view progId);

// A program's file name without ".exe": "PowerShell" of "C:\Windows\...\PowerShell.exe".
std::string bareName(std::string_view program);

// How bad a program is as a file's handler.
enum class HostKind {
    None,       // an ordinary program
    ScriptHost, // powershell, cmd, wscript, mshta, rundll32, ...: runs code it is given
    Downloader, // certutil, bitsadmin: fetches files, never a file's handler
};
// `program` as a command names it: a path, a name, with or without ".exe".
HostKind hostKindOf(std::string_view program);
// Whether the class is the one a script host exists to run (VBSFile by wscript, batfile by cmd).
bool isScriptClassOf(std::string_view progId, std::string_view program);

} // namespace moxalo::catalogue::audit
