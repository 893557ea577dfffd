#include "engines/vss6/DestroyGroup.h"

#include <utility>

namespace vss6 {
namespace {

// "$/a/b" for "$/a/b/c.txt", "$/" for "$/c.txt".
std::string ProjectOf(const std::string& spec) {
  const std::size_t slash = spec.rfind('/');
  return slash == std::string::npos || slash < 2 ? std::string("$/") : spec.substr(0, slash);
}

std::string Leftovers(const std::vector<DestroyRequest>& requests, const DestroyDone& done) {
  if (requests.size() == 1) {
    return DescribeLeftovers(requests.front().spec, done);
  }
  return std::to_string(requests.size()) + " entries of '" + ProjectOf(requests.front().spec) +
         "' were destroyed" + DescribeLeft(done, "their");
}

}  // namespace

void DestroyGroup::Add(DestroyRequest request) {
  if (!waiting_.empty() &&
      (waiting_.front().entry.parent != request.entry.parent || waiting_.size() >= kMaxWaiting)) {
    Write();
  }
  CheckDestroy(request);
  waiting_.push_back(std::move(request));
}

void DestroyGroup::Write() {
  if (waiting_.empty()) {
    return;
  }
  const std::vector<DestroyRequest> requests = std::exchange(waiting_, {});
  DestroyDone done;
  try {
    done = DestroyEntries(requests);
  } catch (const std::exception& error) {
    throw GroupNotWritten(std::to_string(requests.size()) + " destroys in '" +
                          ProjectOf(requests.front().spec) +
                          "' could not be written and did not take place: " + error.what());
  }
  written_(requests.front().entry.parent, done);
  if (LeftSomething(done)) {
    leftovers_.push_back(Leftovers(requests, done));
  }
}

}  // namespace vss6
