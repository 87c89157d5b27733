#include "CloseMatches.h"

#include <algorithm>
#include <cctype>
#include <cstddef>

namespace {

// Lower case without blanks, '-' and '_', the way the factory compares names.
std::string folded(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c != ' ' && c != '-' && c != '_') {
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return out;
}

// Levenshtein distance: insertions, deletions and substitutions.
std::size_t editDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// How far `spelling` is from what was typed; a spelling that contains the
// typed text counts as one slip, so "dtp" offers every DTP instrument.
std::size_t slips(const std::string& typed, const std::string& spelling) {
    if (typed.size() >= 2 && spelling.find(typed) != std::string::npos) {
        return 1;
    }
    return editDistance(typed, spelling);
}

}  // namespace

std::vector<std::string> closeMatches(const std::string& text, const std::vector<KnownName>& known,
                                      std::size_t limit) {
    const std::string typed = folded(text);
    // A third of the typed letters may be wrong, but never fewer than two.
    const std::size_t allowed = std::max<std::size_t>(2, typed.size() / 3);
    std::vector<std::pair<std::size_t, std::string>> ranked;
    for (const KnownName& name : known) {
        std::size_t best = allowed + 1;
        for (const std::string& spelling : name.spellings) {
            best = std::min(best, slips(typed, folded(spelling)));
        }
        const bool listed = std::any_of(ranked.begin(), ranked.end(), [&](const auto& entry) {
            return entry.second == name.shown;
        });
        if (best <= allowed && !listed) {
            ranked.emplace_back(best, name.shown);
        }
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> names;
    for (std::size_t i = 0; i < ranked.size() && i < limit; ++i) {
        names.push_back(ranked[i].second);
    }
    return names;
}

std::string listedAlternatives(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i];
    }
    return text;
}
