#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sourcecontrol {

class IVSSItems;

enum class ItemType { Project = 0, File = 1 };

// One of an item's own files in the database, byte for byte, named by its place there.
struct OwnFile {
  std::string name;  // relative to the database's folder ("data/b/BOAAAAAA.A")
  std::vector<unsigned char> bytes;
};

// When and by whom a deleted item was deleted, as its database records it. The time is in
// seconds since 1970 of the local wall-clock time it was recorded in (shown as it is, never
// converted between zones).
struct Deletion {
  std::optional<std::int64_t> time;  // none when the database does not record it
  std::string user;                  // empty when the database does not record it
};

// A project or a file of the database. Every failure raises an errors::ErrorRecord with a
// non-zero number.
class IVSSItem {
 public:
  virtual ~IVSSItem() = default;

  // True when the item is marked deleted and not yet purged.
  virtual bool Deleted() = 0;
  // The item's full path: "$/" for the root, "$/A/b.txt" below it.
  virtual std::string Spec() = 0;
  virtual ItemType Type() = 0;
  // A file's size in bytes, as stored; a project's is 0.
  virtual std::int64_t Size() = 0;
  // The item's children in the database's order; deleted ones too when asked. A file has none.
  virtual std::shared_ptr<IVSSItems> Items(bool includeDeleted) = 0;
  // A file's latest content, as stored; a project has none (empty).
  virtual std::vector<unsigned char> Content() = 0;
  // Removes the item from the database for good, a project with everything below it.
  virtual void Destroy() = 0;
  // Makes a deleted item live again where it was; a project comes back without its deleted
  // children. Refused when a live item of its project has its name, or the engine does not
  // recover items of its kind (the description says why).
  virtual void Recover() = 0;
  // What destroying the item frees in the database's files, in bytes, for the item alone (not
  // what lies below it): its files, or its records and contents; 0 when the engine cannot tell.
  virtual std::int64_t DiskSize() { return 0; }
  // For a deleted item, when and by whom it was deleted; unknown (empty) when the database does
  // not record it, and for a live item.
  virtual Deletion DeletedBy() { return {}; }
  // The item's own files as they are, for a copy kept before it is destroyed, and the record
  // its project keeps of it; none when the engine keeps no files per item.
  virtual std::vector<OwnFile> OwnFiles() { return {}; }
  // Why Destroy would refuse this item for what it is (shared, pinned, checked out, or holding
  // such an item below it), in a few words ("shared with '$/b'"); empty when the engine sees
  // nothing in the way. Writes nothing. A destroy may still fail: another user may change the
  // database in between, and it checks again.
  virtual std::string DestroyRefusal() { return {}; }
};

}  // namespace sourcecontrol
