#pragma once
// What the windows show of an effective association: the lines of its summary, the verdict on
// the user's choice, the cells of the list's effective columns with why a row is marked, and
// the whole of it as text to copy. Kept here, without widgets, so that it is tested headless.

#include "catalogue/effective/Effective.h"

#include <string>
#include <vector>

namespace moxalo::catalogue::effective {

// One line of the summary: "Class" and "txtfile".
struct Fact {
    std::string label;
    std::string value;
};

// The user whose choices are read, as the summary names them.
struct UserFacts {
    std::string sid;     // "" when unknown
    std::string sidFrom; // where it was found
};

// Extension, class, via, verb, what the verb runs (command line, or DelegateExecute class and
// AppUserModelId), program, default app, the user's choice and its verdict, the user. Lines
// with nothing to say are left out, but for the class and the command, whose absence tells.
std::vector<Fact> summaryOf(const Association& association, const UserFacts& user);

// "hash fails: <why>", "hash verified", "none"; with what dangles after it.
std::string verdictOf(const Association& association);

// Whether the choice is one Windows would not honour: its hash fails or its ProgID dangles.
bool isSuspect(const Association& association);
// Why, in a sentence for a tooltip; "" when it is not.
std::string whySuspect(const Association& association);

// The cells of the list's columns "Default app", "ProgID", "Via", "Choice", in that order.
inline constexpr std::size_t kEffectiveColumnCount = 4;
struct EffectiveCells {
    std::string cells[kEffectiveColumnCount];
    bool marked = false;
    std::string why; // the tooltip of a marked row, or the failure of a row not resolved
};
inline constexpr const char* kEffectiveCaptions[kEffectiveColumnCount] = {"Default app", "ProgID",
                                                                          "Via", "Choice"};
EffectiveCells cellsOf(const Association& association);
// A row whose registry could not be read: "?" in every cell, the message as its tooltip.
EffectiveCells cellsOfFailure(const std::string& message);

// Everything the window shows, as plain text: the summary as "label: value" lines, then the
// steps and the Open With candidates as tab-separated rows under their headings, to paste into
// a report or a spreadsheet.
std::string reportOf(const Association& association, const std::vector<Candidate>& candidates,
                     const UserFacts& user);

} // namespace moxalo::catalogue::effective
