#include "tools/render/name_suggest.h"

#include <algorithm>

#include "tools/render/name_text.h"

namespace selvarin {

namespace {

std::string Simplify(const std::string& s) { return Lower(Trim(s)); }

// Changes that turn a into b (insertions, deletions, replacements and swaps
// of neighbours). With `anywhere`, b may start and end anywhere in the
// longer text: the changes that turn a into some stretch of b.
size_t Changes(const std::string& a, const std::string& b, bool anywhere) {
  const size_t n = a.size(), m = b.size();
  // Three rows of the table: two back (for swaps), one back, this one.
  std::vector<size_t> back2(m + 1), back(m + 1), row(m + 1);
  for (size_t j = 0; j <= m; ++j) back[j] = anywhere ? 0 : j;
  for (size_t i = 1; i <= n; ++i) {
    row[0] = i;
    for (size_t j = 1; j <= m; ++j) {
      size_t best = back[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
      best = std::min(best, back[j] + 1);
      best = std::min(best, row[j - 1] + 1);
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) best = std::min(best, back2[j - 2] + 1);
      row[j] = best;
    }
    back2.swap(back);
    back.swap(row);
  }
  return anywhere ? *std::min_element(back.begin(), back.end()) : back[m];
}

// Longer text is no name typed wrong (and would cost a table of its length
// by every known name's: sessions have long lines).
constexpr size_t kLongestTyped = 80;

// How many changes still count as a slip of the fingers for a typed name of
// this length.
size_t Allowed(size_t length) { return std::min<size_t>(4, std::max<size_t>(1, (length + 1) / 4)); }

std::vector<std::string> Best(std::vector<std::pair<size_t, std::string>> scored, size_t most) {
  std::stable_sort(scored.begin(), scored.end(),
                   [](const auto& x, const auto& y) { return x.first < y.first; });
  std::vector<std::string> out;
  for (const auto& s : scored) {
    if (out.size() >= most) break;
    if (std::find(out.begin(), out.end(), s.second) == out.end()) out.push_back(s.second);
  }
  return out;
}

}  // namespace

std::vector<std::string> SuggestNames(const std::string& typed, const std::vector<std::string>& known, size_t most) {
  const std::string t = Simplify(typed);
  if (t.empty() || t.size() > kLongestTyped) return {};
  std::vector<std::pair<size_t, std::string>> scored;
  for (const std::string& name : known) {
    const std::string k = Simplify(name);
    if (k == t) continue;
    const size_t changes = Changes(t, k, false);
    if (changes <= Allowed(t.size())) {
      scored.push_back({changes, name});
    } else if (t.size() >= 3 && k.compare(0, t.size(), t) == 0) {
      // The start of a name: as good as a change or two, after the slips.
      scored.push_back({Allowed(t.size()) + 1, name});
    }
  }
  return Best(std::move(scored), most);
}

std::vector<std::string> SuggestByPart(const std::string& typed, const std::vector<std::string>& known, size_t most) {
  const std::string t = Simplify(typed);
  if (t.size() < 3 || t.size() > kLongestTyped) return {};
  std::vector<std::pair<size_t, std::string>> scored;
  for (const std::string& name : known) {
    const size_t changes = Changes(t, Simplify(name), true);
    if (changes > 0 && changes <= Allowed(t.size())) scored.push_back({changes, name});
  }
  return Best(std::move(scored), most);
}

std::string DidYouMean(const std::vector<std::string>& s) {
  if (s.empty()) return "";
  std::string out = " \u2014 did you mean '" + s[0] + "'";
  for (size_t i = 1; i < s.size(); ++i) out += (i + 1 == s.size() ? " or '" : ", '") + s[i] + "'";
  return out + "?";
}

}  // namespace selvarin
