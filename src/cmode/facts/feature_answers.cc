// Looking feature tests up in the sorted lines of the cache, and merging new answers into them.
#include "cmode/facts/feature_answers.h"

namespace sornik::cmode {

std::string_view FeatureAnswers::line(std::size_t index) const {
  const std::size_t start = line_starts_[index];
  const std::size_t end = index + 1 < line_starts_.size() ? line_starts_[index + 1] - 1 : read_.size() - 1;
  return std::string_view(read_).substr(start, end - start);
}

std::string_view FeatureAnswers::test_of(std::string_view line) { return line.substr(0, line.rfind(' ')); }

std::optional<std::string_view> FeatureAnswers::find(std::string_view test) const {
  if (const auto added = added_.find(test); added != added_.end()) return added->second;
  std::size_t low = 0;
  std::size_t high = line_starts_.size();
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    if (test_of(line(middle)) < test) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  if (low == line_starts_.size()) return std::nullopt;
  const std::string_view text = line(low);
  if (test_of(text) != test) return std::nullopt;
  return text.substr(test.size() + 1);
}

void FeatureAnswers::set(std::string_view test, std::string_view answer) {
  added_.insert_or_assign(std::string(test), std::string(answer));
}

std::size_t FeatureAnswers::size() const {
  std::size_t count = added_.size();
  for (std::size_t i = 0; i < line_starts_.size(); ++i) {
    if (!added_.contains(test_of(line(i)))) ++count;
  }
  return count;
}

std::string FeatureAnswers::lines() const {
  std::string text;
  auto added = added_.begin();
  const auto add = [&text](std::string_view test, std::string_view answer) {
    text.append(test);
    text += ' ';
    text.append(answer);
    text += '\n';
  };
  for (std::size_t i = 0; i < line_starts_.size(); ++i) {
    const std::string_view old = line(i);
    const std::string_view test = test_of(old);
    for (; added != added_.end() && added->first < test; ++added) add(added->first, added->second);
    if (added != added_.end() && added->first == test) continue;
    text.append(old);
    text += '\n';
  }
  for (; added != added_.end(); ++added) add(added->first, added->second);
  return text;
}

bool FeatureAnswers::read_lines(std::string text) {
  std::vector<std::uint32_t> starts;
  std::string_view previous;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t end = text.find('\n', pos);
    if (end == std::string::npos) return false;
    const std::string_view line = std::string_view(text).substr(pos, end - pos);
    const std::size_t blank = line.rfind(' ');
    if (blank == std::string_view::npos || blank == 0 ||
        (!starts.empty() && line.substr(0, blank) <= previous)) {
      return false;
    }
    previous = line.substr(0, blank);
    starts.push_back(static_cast<std::uint32_t>(pos));
    pos = end + 1;
  }
  read_ = std::move(text);
  line_starts_ = std::move(starts);
  added_.clear();
  return true;
}

}  // namespace sornik::cmode
