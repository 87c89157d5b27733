// Suggestions for a mistyped name: which of the known names the user most
// likely meant.
#ifndef ORVOCHART_TOOLS_CLOSEMATCHES_H
#define ORVOCHART_TOOLS_CLOSEMATCHES_H

#include <string>
#include <vector>

// A known name as shown to the user, and the spellings it answers to.
struct KnownName {
    std::string shown;
    std::vector<std::string> spellings;
};

// The shown names whose spellings are within a few typing slips of `text`
// or contain it (case, blanks, '-' and '_' do not count), nearest first, at
// most `limit` of them, each once.
std::vector<std::string> closeMatches(const std::string& text, const std::vector<KnownName>& known,
                                      std::size_t limit = 5);

// "a, b or c"; "" for none.
std::string listedAlternatives(const std::vector<std::string>& names);

#endif  // ORVOCHART_TOOLS_CLOSEMATCHES_H
