#pragma once
// The program's arguments as UTF-8 text on every platform (Windows hands
// them over in UTF-16), and a console that shows UTF-8 text as such.
#include <string>
#include <vector>

namespace selvarin {

class Utf8Arguments {
 public:
  // argc and argv as main received them; Windows reads its own command line.
  Utf8Arguments(int argc, char** argv);
  Utf8Arguments(const Utf8Arguments&) = delete;
  Utf8Arguments& operator=(const Utf8Arguments&) = delete;

  int Count() const { return static_cast<int>(strings_.size()); }
  // argv-style, ending with a null pointer; valid while this object lives.
  char** Values() { return pointers_.data(); }

 private:
  std::vector<std::string> strings_;
  std::vector<char*> pointers_;
};

// Lets the console show the UTF-8 text the tools print (names and paths in
// any language) until the program ends; nothing to do where text is UTF-8.
void UseUtf8Console();

}  // namespace selvarin
