#pragma once
#include <cstddef>
#include <map>

namespace litho {

// Display-list names of one context, taken from GL as they are needed
// instead of fixed numbers. Calls need the context current.
class DisplayLists {
 public:
  // count consecutive names; 0 when GL has none to give.
  unsigned allocate(int count);
  // Frees the block that starts at first; 0 and unknown names are ignored.
  void free(unsigned first);
  void freeAll();
  std::size_t blockCount() const { return blocks_.size(); }

 private:
  std::map<unsigned, int> blocks_;  // first name, count
};

}  // namespace litho
