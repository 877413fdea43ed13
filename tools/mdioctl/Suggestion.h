// "Did you mean ...?": the known word nearest to a mistyped one.
#pragma once

#include <string>
#include <vector>

namespace mdioctl {

// The candidate with the fewest single-letter edits from `word`, when it is
// near enough to be what was meant (at most a third of its letters off);
// empty otherwise.
std::string nearestWord(const std::string& word, const std::vector<std::string>& candidates);

}  // namespace mdioctl
