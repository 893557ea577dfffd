#include "Vss6Copy.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "engines/vss6/DataFolder.h"
#include "engines/vss6/ItemFiles.h"
#include "engines/vss6/Records.h"
#include "support/Process.h"

namespace vss6_test {
namespace {

void WriteBytes(const std::filesystem::path& path, const std::vector<unsigned char>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

Vss6Copy::Vss6Copy(const std::string& folder) {
  const std::filesystem::path source = kShared / folder;
  if (std::filesystem::exists(source)) {
    std::filesystem::copy(source, Root(), std::filesystem::copy_options::recursive);
    valid_ = true;
  }
}

Vss6Copy::Vss6Copy(const testing_support::Vss6Builder& builder, bool withIni) {
  builder.Write(Root(), withIni);
  valid_ = true;
}

std::map<std::string, std::string> Vss6Copy::Snapshot() const {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(Root())) {
    if (entry.is_regular_file()) {
      std::ifstream in(entry.path(), std::ios::binary);
      files[std::filesystem::relative(entry.path(), Root()).string()] =
          std::string(std::istreambuf_iterator<char>(in), {});
    }
  }
  return files;
}

std::vector<Vss6Copy::Walked> Vss6Copy::Walk(vss6::Vss6Tree& tree) {
  std::vector<Walked> items;
  std::vector<vss6::TreeItem> pending{tree.Root()};
  while (!pending.empty()) {
    vss6::TreeItem item = std::move(pending.back());
    pending.pop_back();
    std::vector<vss6::TreeItem> children = tree.Children(item);
    std::move(children.rbegin(), children.rend(), std::back_inserter(pending));
    std::string spec = tree.SpecOf(item);
    items.push_back({std::move(item), std::move(spec)});
  }
  return items;
}

const Vss6Copy::Walked& Vss6Copy::Find(const std::vector<Walked>& items, const std::string& spec) {
  const auto found = std::find_if(items.begin(), items.end(),
                                  [&](const Walked& item) { return item.spec == spec; });
  if (found == items.end()) {
    throw std::runtime_error("no " + spec);
  }
  return *found;
}

std::optional<Vss6Copy::Independent> Vss6Copy::ReadIndependently() const {
  if (!std::filesystem::exists(kIndependentReader) ||
      !std::filesystem::exists("/usr/bin/python3")) {
    return std::nullopt;
  }
  const testing_support::Completed run = testing_support::RunCommand(
      {"/usr/bin/python3", kIndependentReader.string(), Root().string()});
  Independent read;
  read.sound = run.status == 0;
  std::istringstream lines(run.out);
  for (std::string line; std::getline(lines, line);) {
    // "file    DELETED $/a.txt  [BAAAAAAA]": the kind, the state and the path.
    std::istringstream words(line);
    std::string kind;
    std::string state;
    words >> kind >> state;
    if (kind != "file" && kind != "project") {
      continue;
    }
    std::string spec;
    std::getline(words >> std::ws, spec);
    spec = spec.substr(0, spec.rfind("  ["));
    read.lines.push_back(kind + " " + state + " " + spec);
  }
  std::sort(read.lines.begin(), read.lines.end());
  return read;
}

std::vector<std::string> Vss6Copy::Lines(vss6::Vss6Tree& tree) {
  std::vector<std::string> lines;
  for (const Walked& item : Walk(tree)) {
    if (!item.parent.empty()) {
      lines.push_back(std::string(item.project ? "project" : "file") + " " +
                      (item.deleted ? "DELETED" : "live") + " " + item.spec);
    }
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

vss6::DestroyRequest Vss6Copy::RequestFor(vss6::Vss6Tree& tree, const vss6::TreeItem& item) const {
  return vss6::RequestFor(tree, item, Journal(), "Admin");
}

void Vss6Copy::PatchEntry(const std::string& parent, const std::string& physical,
                          const std::function<void(std::span<unsigned char>)>& change) const {
  vss6::DataFolder data(Data());
  const std::filesystem::path itemPath = data.ItemPath(parent);
  const vss6::ItemHeader header = vss6::ReadItemHeader(data.ReadWhole(itemPath), itemPath.string());
  const std::filesystem::path entryPath = data.ItemPath(parent, header.dataExtension);
  std::vector<unsigned char> bytes = data.ReadWhole(entryPath);
  for (const vss6::ProjectEntry& entry : vss6::ReadEntryFile(bytes, entryPath.string())) {
    if (entry.physical == physical) {
      change(std::span<unsigned char>(bytes.data() + entry.recordOffset + 8, 56));
      vss6::Reseal(bytes, entry.recordOffset);
    }
  }
  WriteBytes(entryPath, bytes);
}

void Vss6Copy::PatchItem(const std::string& physical,
                         const std::function<void(std::vector<unsigned char>&)>& change,
                         std::size_t recordOffset) const {
  vss6::DataFolder data(Data());
  const std::filesystem::path itemPath = data.ItemPath(physical);
  std::vector<unsigned char> bytes = data.ReadWhole(itemPath);
  change(bytes);
  vss6::Reseal(bytes, recordOffset);
  WriteBytes(itemPath, bytes);
}

}  // namespace vss6_test
