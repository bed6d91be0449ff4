// A list of 8-bit text lines that tells its owner when it changes.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace forms {

class TStrings {
 public:
  void Clear() {
    lines_.clear();
    Changed();
  }
  void Add(std::string line) {
    lines_.push_back(std::move(line));
    Changed();
  }
  void Assign(std::vector<std::string> lines) {
    lines_ = std::move(lines);
    Changed();
  }
  int Count() const { return static_cast<int>(lines_.size()); }
  const std::string& operator[](int index) const { return lines_.at(static_cast<std::size_t>(index)); }
  const std::vector<std::string>& Lines() const { return lines_; }

  std::function<void()> OnChange;

 private:
  void Changed() {
    if (OnChange) OnChange();
  }
  std::vector<std::string> lines_;
};

}  // namespace forms
