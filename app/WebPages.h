#pragma once
// The maker's web pages the program opens: each host once, here; the paths and queries are
// the ones the program has always used.

namespace moxalo::app {

// The maker's main host: its root is the home page.
inline constexpr const char* kHomePage = "https://moxalo.example.org/";
// The support pages' host.
inline constexpr const char* kSupportHost = "https://support.moxalo.example.org";
// The forum's host.
inline constexpr const char* kForumHost = "https://forum.moxalo.example.org";

inline constexpr const char* kSupportPath = "/?mode=Products&p=moxalo";
inline constexpr const char* kContactPath = "/?mode=Contact";
inline constexpr const char* kBugForumPath = "/viewforum.php?f=32";

} // namespace moxalo::app
