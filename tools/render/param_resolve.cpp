#include "tools/render/param_resolve.h"

#include <cctype>
#include <cmath>
#include <cstdio>

#include "tools/render/name_suggest.h"
#include "tools/render/name_text.h"

namespace selvarin {

namespace {

bool AllDigits(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

std::string Number(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%g", v);
  return buf;
}

// Whether text, without surrounding spaces and in lower case, is lower
// (already trimmed and in lower case); without copying: sessions resolve
// this for every line.
bool SameName(const std::string& text, const std::string& lower) {
  size_t a = 0, b = text.size();
  while (a < b && std::isspace(static_cast<unsigned char>(text[a]))) ++a;
  while (b > a && std::isspace(static_cast<unsigned char>(text[b - 1]))) --b;
  if (b - a != lower.size()) return false;
  for (size_t i = 0; i < lower.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[a + i])) != static_cast<unsigned char>(lower[i])) return false;
  return true;
}

int TextIndex(const CatalogParam& p, const std::string& value) {
  const std::string want = Lower(Trim(value));
  for (size_t k = 0; k < p.texts.size(); ++k)
    if (SameName(p.texts[k], want)) return static_cast<int>(k);
  return -1;
}

std::string Describe(const CatalogParam& p) { return "'" + p.title + "' (" + std::to_string(p.id) + ")"; }

}  // namespace

bool IsTextValued(const std::vector<std::string>& stepTexts) {
  if (stepTexts.empty()) return false;
  for (const std::string& t : stepTexts) {
    double v = 0.0;
    if (!ParseNumber(Trim(t), &v)) return true;
  }
  return false;
}

bool ResolvePreset(const std::vector<std::string>& names, const std::string& query, int* index, std::string* error) {
  const int count = static_cast<int>(names.size());
  if (count == 0) {
    *error = "the plug-in has no presets";
    return false;
  }
  if (AllDigits(query)) {
    double v = 0.0;
    if (!ParseNumber(query, &v) || v >= count) {
      *error = "no preset number " + query + " (0 to " + std::to_string(count - 1) + ")";
      return false;
    }
    *index = static_cast<int>(v);
    return true;
  }
  const std::string want = Lower(Trim(query));
  std::vector<int> exact, partial;
  for (int i = 0; i < count; ++i) {
    const std::string name = Lower(names[static_cast<size_t>(i)]);
    if (name == want) exact.push_back(i);
    if (!want.empty() && name.find(want) != std::string::npos) partial.push_back(i);
  }
  const std::vector<int>& hits = exact.size() == 1 ? exact : partial;
  if (hits.size() == 1) {
    *index = hits[0];
    return true;
  }
  if (hits.empty()) {
    const std::string guess = DidYouMean(SuggestByPart(query, names));
    *error = "no preset matches '" + query + "'" + (guess.empty() ? " (see --list-presets)" : guess);
    return false;
  }
  std::string list;
  const size_t shown = hits.size() < 12 ? hits.size() : 12;
  for (size_t k = 0; k < shown; ++k) {
    if (k) list += ", ";
    list += std::to_string(hits[k]) + " \"" + names[static_cast<size_t>(hits[k])] + "\"";
  }
  if (shown < hits.size()) list += ", and " + std::to_string(hits.size() - shown) + " more";
  *error = "preset '" + query + "' is ambiguous: " + list;
  return false;
}

bool ResolveParam(const std::vector<CatalogParam>& params, const ParamSetting& setting,
                  const ToNormalizedFn& toNormalized, ResolvedParam* out, std::string* error) {
  // The target: an index, or a name (case-insensitive).
  std::vector<const CatalogParam*> candidates;
  if (AllDigits(setting.target)) {
    for (const CatalogParam& p : params)
      if (std::to_string(p.id) == setting.target) candidates.push_back(&p);
    if (candidates.empty()) {
      *error = "no parameter with index " + setting.target + " (see --list-params)";
      return false;
    }
  } else {
    const std::string want = Lower(Trim(setting.target));
    for (const CatalogParam& p : params)
      if (SameName(p.title, want)) candidates.push_back(&p);
    if (candidates.empty()) {
      std::vector<std::string> titles;
      for (const CatalogParam& p : params) titles.push_back(p.title);
      const std::string guess = DidYouMean(SuggestNames(setting.target, titles));
      *error = "unknown parameter '" + setting.target + "'" + (guess.empty() ? " (see --list-params)" : guess);
      return false;
    }
  }

  double number = 0.0;
  const bool numeric = ParseNumber(Trim(setting.value), &number);

  // Two parameters of one name (an LFO's rate in note values and in
  // milliseconds): a text of the named one picks it, a number the numeric one.
  if (candidates.size() > 1) {
    std::vector<const CatalogParam*> chosen;
    for (const CatalogParam* p : candidates) {
      const bool named = IsTextValued(p->texts);
      if (named && TextIndex(*p, setting.value) >= 0) chosen.push_back(p);
    }
    if (chosen.empty() && numeric) {
      for (const CatalogParam* p : candidates)
        if (!IsTextValued(p->texts)) chosen.push_back(p);
    }
    if (chosen.size() != 1) {
      std::string list;
      for (const CatalogParam* p : candidates) list += (list.empty() ? "" : ", ") + std::to_string(p->id);
      *error = "'" + setting.target + "=" + setting.value + "' fits none or several of the parameters of that name (" +
               list + "); give the index instead";
      return false;
    }
    candidates = chosen;
  }

  const CatalogParam& p = *candidates[0];
  out->id = p.id;
  if (IsTextValued(p.texts)) {
    const int k = TextIndex(p, setting.value);
    if (k >= 0) {
      out->normalized = p.stepCount > 0 ? static_cast<double>(k) / p.stepCount : 0.0;
      return true;
    }
    std::string list;
    for (const std::string& t : p.texts) list += (list.empty() ? "" : ", ") + t;
    if (!numeric) {
      const std::string guess = DidYouMean(SuggestNames(setting.value, p.texts));
      *error = "'" + setting.value + "' is not a value of " + Describe(p) + (guess.empty() ? " (one of: " + list + ")" : guess);
      return false;
    }
    // A number names an entry; between two entries there is nothing.
    if (number != std::floor(number)) {
      *error = "'" + setting.value + "' is not an entry of " + Describe(p) + " (a whole number from " +
               Number(p.minPlain) + " to " + Number(p.maxPlain) + ", or one of: " + list + ")";
      return false;
    }
  } else if (!numeric) {
    *error = "'" + setting.value + "' is not a number for " + Describe(p);
    return false;
  }
  const double lo = p.minPlain < p.maxPlain ? p.minPlain : p.maxPlain;
  const double hi = p.minPlain < p.maxPlain ? p.maxPlain : p.minPlain;
  if (number < lo || number > hi) {
    *error = "value " + setting.value + " of " + Describe(p) + " is out of range (" + Number(lo) + " to " +
             Number(hi) + (p.units.empty() ? "" : " " + p.units) + ")";
    return false;
  }
  double x = toNormalized(p.id, number);
  if (!std::isfinite(x)) x = 0.0;
  out->normalized = x < 0.0 ? 0.0 : x > 1.0 ? 1.0 : x;
  return true;
}

}  // namespace selvarin
