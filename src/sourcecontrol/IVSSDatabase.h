#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "errors/ErrorRecord.h"
#include "sourcecontrol/ErrorNumbers.h"

namespace sourcecontrol {

class IVSSItem;

// A file's content to put back, given piece by piece as it is read: a copy may hold files far
// larger than is wise to hold in memory.
class RestoredContent {
 public:
  using Sink = std::function<void(std::span<const unsigned char> piece)>;
  using Reader = std::function<void(const Sink& sink)>;

  RestoredContent() = default;
  // Content held in memory.
  RestoredContent(std::vector<unsigned char> bytes)  // NOLINT: bytes stand for their content
      : size_(static_cast<std::int64_t>(bytes.size())),
        read_([held = std::move(bytes)](const Sink& sink) { sink(held); }) {}
  // `size` bytes that `read` gives to its sink, in order, when asked; it throws when they cannot
  // be read.
  RestoredContent(std::int64_t size, Reader read) : size_(size), read_(std::move(read)) {}

  std::int64_t Size() const noexcept { return size_; }
  void Read(const Sink& sink) const {
    if (read_) {
      read_(sink);
    }
  }

 private:
  std::int64_t size_ = 0;
  Reader read_;
};

// An item of an entry kept before a purge, to be put back.
struct RestoredItem {
  std::string spec;
  bool project = false;
  bool deleted = false;  // its own mark, as it was
  RestoredContent content;
};

// A source-control database. Every failure raises an errors::ErrorRecord with a non-zero
// number and a readable description.
class IVSSDatabase {
 public:
  virtual ~IVSSDatabase() = default;

  // The Windows code page that names in a SourceSafe 6 database were written in ("CP1252",
  // "GBK", ...), for the next Open; empty for the default, Windows-1252. Other databases keep
  // their names in UTF-8 and ignore it.
  virtual void SetNameCodePage(const std::string& /*codePage*/) {}
  // Opens the database at `iniPath` (its folder or its srcsafe.ini) as `userName`.
  virtual void Open(const std::string& iniPath, const std::string& userName,
                    const std::string& password) = 0;
  // The item that `spec` names; with `deleted` true a deleted item may be named.
  virtual std::shared_ptr<IVSSItem> VSSItem(const std::string& spec, bool deleted) = 0;
  // False when the user who opened the database may destroy none of its items. True does not
  // promise that every destroy will be let through.
  virtual bool MayDestroy() = 0;
  // What the last Open did or found that its user should hear of, one line each: a destroy cut
  // off by a crash that it finished or undid, or a journal it could not act on.
  virtual std::vector<std::string> OpenNotes() { return {}; }
  // From here until EndDestroyGroup the engine may save destroys together, in groups it closes
  // after a short time or a few hundred items: a purge goes faster, and a crash loses at most
  // the open group, whose items stay deleted. `between` is called now and then while one
  // destroy takes long, so that a window stays answerable; it must not use the database.
  // Engines that save each destroy at once ignore it.
  virtual void BeginDestroyGroup(std::function<void()> /*between*/) {}
  // How many of the latest destroys are not saved yet; 0 when all are.
  virtual int UnsavedDestroys() { return 0; }
  // Saves what is not saved yet and ends the grouping. A group that cannot be saved, here or in
  // a Destroy, raises kDestroysNotSaved: the destroys it held (those UnsavedDestroys counted
  // before the call) did not take place.
  virtual void EndDestroyGroup() {}
  // What its user should do around a purge of this database, in one line for the question
  // asked before it; empty when nothing.
  virtual std::string PurgeAdvice() { return {}; }
  // What its user may do after a purge that freed `freedBytes` (as IVSSItem::DiskSize counts
  // them), in one line for the finish page; empty when nothing.
  virtual std::string AfterPurgeAdvice(std::int64_t /*freedBytes*/) { return {}; }
  // Puts back an entry kept before a purge, as it was then: `items` in order, the entry first (a
  // deleted item), each other one below an item before it, each file's content read as it goes
  // in. All of it or nothing. Raises kAlreadyExists when a deleted item of the project has the
  // entry's name now (one put back inside the same group of changes aside: a copy may hold two
  // entries of one path), kItemNotFound when its project is not there, kInvalidArgument for a
  // file larger than the engine keeps, and, for an engine that does not write such entries, the
  // error that says so. Inside BeginDestroyGroup and EndDestroyGroup, restores are saved in
  // groups as destroys are.
  virtual void Restore(const std::vector<RestoredItem>& items) {
    (void)items;
    throw errors::ErrorRecord(Number(ErrorCode::kUnsupportedVersion), "Scourwell",
                              "Scourwell does not put kept entries back into a database of this "
                              "format; vssdb restore --to FOLDER extracts their files");
  }
  // Reads the whole database at `iniPath` without opening it as a user and gives back every
  // fault found, one line each; none when it is sound.
  virtual std::vector<std::string> Check(const std::string& iniPath) = 0;
};

// Raised when a group of destroys could not be saved.
inline constexpr std::int32_t kDestroysNotSaved = Number(ErrorCode::kDestroysNotSaved);

}  // namespace sourcecontrol
