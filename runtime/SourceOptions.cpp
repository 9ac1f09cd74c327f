#include "runtime/SourceOptions.h"

#include <charconv>
#include <cstdint>

namespace moxalo::runtime {

namespace {

// The value of `--name VALUE` or `--name=VALUE` at args[i], moving i past it; nullopt when
// args[i] is another argument, "" when the value is missing.
std::optional<std::string> valueOf(std::string_view name, const std::vector<std::string>& args,
                                   std::size_t& i) {
    const std::string& arg = args[i];
    if (arg == name)
        return i + 1 < args.size() ? args[++i] : std::string();
    if (arg.size() > name.size() && arg.starts_with(name) && arg[name.size()] == '=')
        return arg.substr(name.size() + 1);
    return std::nullopt;
}

// A decimal number of at most `bits` bits, without sign or leading "+".
bool isNumber(std::string_view text, int bits) {
    std::uint64_t n = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
    return !text.empty() && error == std::errc() && end == text.data() + text.size() &&
           (bits == 64 || n < (std::uint64_t{1} << bits));
}

} // namespace

bool isSidText(std::string_view text) {
    constexpr std::string_view start = "S-1-";
    if (text.size() <= start.size() || (text[0] != 'S' && text[0] != 's') ||
        text.substr(1, 3) != start.substr(1))
        return false;
    text.remove_prefix(start.size());
    // The authority takes 48 bits; Windows allows up to 15 subauthorities of 32.
    int parts = 0;
    while (true) {
        std::size_t dash = text.find('-');
        if (!isNumber(text.substr(0, dash), parts == 0 ? 48 : 32))
            return false;
        ++parts;
        if (dash == std::string_view::npos)
            return parts >= 2 && parts <= 16;
        text.remove_prefix(dash + 1);
    }
}

Result<bool> takeSourceOption(const std::vector<std::string>& args, std::size_t& i,
                              SourceOptions& options) {
    if (args[i] == "-r") {
        if (i + 1 >= args.size())
            return fail("-r needs a SOURCE");
        options.registries.push_back(args[++i]);
    } else if (auto source = valueOf("--registry", args, i)) {
        if (source->empty() && args[i] == "--registry")
            return fail("--registry needs a SOURCE");
        options.registries.push_back(*source);
    } else if (auto page = valueOf("--code-page", args, i)) {
        if (page->empty())
            return fail("--code-page needs a code page, as 1252");
        options.codePage = *page;
    } else if (auto user = valueOf("--user", args, i)) {
        if (user->empty())
            return fail("--user needs the NAME of a user of the Windows partition (a folder "
                        "under its Users)");
        options.user = *user;
    } else if (auto sid = valueOf("--sid", args, i)) {
        if (!isSidText(*sid))
            return fail("--sid needs a user's SID, as S-1-5-21-1004336348-1177238915-"
                        "682003330-1001" +
                        (sid->empty() ? std::string() : ", not \"" + *sid + "\""));
        options.sid = *sid;
    } else {
        return false;
    }
    return true;
}

Result<> readSourceArguments(const std::vector<std::string>& args, SourceOptions& options) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i].empty())
            return fail("an empty argument names no registry source");
        if (!optionsEnded && args[i] == "--") {
            optionsEnded = true;
        } else if (optionsEnded || args[i][0] != '-') {
            options.registries.push_back(args[i]);
        } else if (Result<bool> taken = takeSourceOption(args, i, options); !taken) {
            return fail(taken.error());
        } else if (!*taken) {
            return fail("unknown argument \"" + args[i] + "\"");
        }
    }
    return {};
}

} // namespace moxalo::runtime
