#include "catalogue/effective/AssociationTexts.h"

namespace moxalo::catalogue::effective {

namespace {

void add(std::vector<Fact>& facts, std::string label, const std::string& value) {
    if (!value.empty())
        facts.push_back({std::move(label), value});
}

// The ProgID that exists in no classes: the user's choice when there is one, else the class the
// extension names, which the steps tell.
std::string danglingName(const Association& association) {
    if (!association.choiceProgId.empty())
        return association.choiceProgId;
    return association.progId.empty() ? std::string("the class named") : association.progId;
}

std::string userText(const UserFacts& user) {
    if (user.sid.empty())
        return "unknown: no UserChoice owner or UsrClass.dat root names the SID";
    return user.sidFrom.empty() ? user.sid : user.sid + " (from the " + user.sidFrom + ")";
}

void appendRow(std::string& text, std::initializer_list<const std::string*> cells) {
    bool first = true;
    for (const std::string* cell : cells) {
        if (!first)
            text += '\t';
        text += *cell;
        first = false;
    }
    text += '\n';
}

} // namespace

std::vector<Fact> summaryOf(const Association& association, const UserFacts& user) {
    std::vector<Fact> facts;
    facts.push_back({"Extension", association.extension});
    facts.push_back({"Class", association.progId.empty() ? "(none opens it)" : association.progId});
    facts.push_back({"Via", std::string(viaText(association.via))});
    add(facts, "Verb", association.verb);
    if (association.command.empty() && association.delegateExecute.empty())
        facts.push_back({"Command", "(none)"});
    add(facts, "Command", association.command);
    add(facts, "DelegateExecute", association.delegateExecute);
    add(facts, "AppUserModelId", association.appUserModelId);
    add(facts, "Program", association.program);
    add(facts, "Default app", association.defaultApp);
    add(facts, "User's choice", association.choiceProgId);
    facts.push_back({"Verdict", verdictOf(association)});
    if (!association.seenByWine)
        facts.push_back({"Seen by Wine",
                         "no: not seen by Wine programs, as only the user's classes declare it"});
    facts.push_back({"User", userText(user)});
    return facts;
}

std::string verdictOf(const Association& association) {
    std::string text(choiceText(association.choice));
    if (!association.choiceWhy.empty())
        text += ": " + association.choiceWhy;
    if (association.dangling)
        text += "; dangling: " + danglingName(association) + " exists in no classes";
    return text;
}

bool isSuspect(const Association& association) {
    return association.choice == Choice::Fails || association.dangling;
}

std::string whySuspect(const Association& association) {
    std::string why;
    if (association.choice == Choice::Fails) {
        why = "The UserChoice hash fails";
        if (!association.choiceWhy.empty())
            why += " (" + association.choiceWhy + ")";
        why += ": it was written by hand or by a tool, and Windows resets this default.";
    }
    if (association.dangling) {
        if (!why.empty())
            why += ' ';
        why += danglingName(association) +
               " exists in no classes read: Windows passes over a ProgID it cannot find.";
    }
    return why;
}

EffectiveCells cellsOf(const Association& association) {
    EffectiveCells row;
    row.cells[0] = association.defaultApp;
    row.cells[1] = association.progId;
    row.cells[2] = std::string(viaText(association.via));
    if (!association.seenByWine)
        row.cells[2] += ", not seen by Wine";
    row.cells[3] = std::string(choiceText(association.choice));
    if (association.dangling)
        row.cells[3] += ", dangling";
    row.marked = isSuspect(association);
    row.why = whySuspect(association);
    if (!association.seenByWine)
        row.why += std::string(row.why.empty() ? "" : " ") +
                   "Only the user's classes declare it: Wine programs, which see the machine's "
                   "classes only, do not.";
    return row;
}

EffectiveCells cellsOfFailure(const std::string& message) {
    EffectiveCells row;
    for (auto& cell : row.cells)
        cell = "?";
    row.why = message;
    return row;
}

std::string reportOf(const Association& association, const std::vector<Candidate>& candidates,
                     const UserFacts& user) {
    std::string text = "Effective association of " + association.extension + "\n\n";
    for (const Fact& fact : summaryOf(association, user))
        text += fact.label + ": " + fact.value + "\n";
    const std::string stepHeads[] = {"Step", "Value", "Key", "Note"};
    text += "\nSteps\n";
    appendRow(text, {&stepHeads[0], &stepHeads[1], &stepHeads[2], &stepHeads[3]});
    for (const Hop& hop : association.hops)
        appendRow(text, {&hop.step, &hop.value, &hop.key, &hop.note});
    const std::string candidateHeads[] = {"Handler", "Source", "Key"};
    text += "\nOpen With\n";
    appendRow(text, {&candidateHeads[0], &candidateHeads[1], &candidateHeads[2]});
    for (const Candidate& candidate : candidates)
        appendRow(text, {&candidate.handler, &candidate.source, &candidate.key});
    return text;
}

} // namespace moxalo::catalogue::effective
