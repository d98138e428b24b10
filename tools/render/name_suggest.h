#pragma once
// "Did you mean" for names typed wrong: the known names closest to what was
// typed, by the letters one has to change (case and surrounding spaces
// aside; two neighbouring letters swapped count as one change).
#include <string>
#include <vector>

namespace selvarin {

// The known names close enough to be what was meant, best first, at most
// `most` of them (each once): a whole name within a few changes of the typed
// one, or one that starts with it.
std::vector<std::string> SuggestNames(const std::string& typed, const std::vector<std::string>& known,
                                      size_t most = 3);

// The same for names typed in part (presets are found by any part of their
// name): known names holding a stretch within a few changes of the typed
// text.
std::vector<std::string> SuggestByPart(const std::string& typed, const std::vector<std::string>& known,
                                       size_t most = 3);

// " — did you mean 'A'?", " — did you mean 'A' or 'B'?", or "" for none.
std::string DidYouMean(const std::vector<std::string>& suggestions);

}  // namespace selvarin
