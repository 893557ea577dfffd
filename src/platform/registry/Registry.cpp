#include "platform/registry/Registry.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

#include "platform/registry/Hive.h"
#include "platform/registry/KeyPath.h"

namespace registry {
namespace {

struct OpenKey {
  HKEY root;
  std::int64_t id;
  REGSAM access;
};

// The keys opened by this process, by handle. The roots are always open with every right.
std::map<HKEY, OpenKey>& Handles() {
  static std::map<HKEY, OpenKey> handles;
  return handles;
}

const OpenKey* Lookup(HKEY handle) {
  static OpenKey roots[] = {{HKEY_CURRENT_USER, Hive::kRootKey, KEY_ALL_ACCESS},
                            {HKEY_LOCAL_MACHINE, Hive::kRootKey, KEY_ALL_ACCESS}};
  if (handle == HKEY_CURRENT_USER) {
    return &roots[0];
  }
  if (handle == HKEY_LOCAL_MACHINE) {
    return &roots[1];
  }
  const auto found = Handles().find(handle);
  return found == Handles().end() ? nullptr : &found->second;
}

HKEY NewHandle(const OpenKey& key) {
  static HKEY next = 0x1000;
  next += 4;
  Handles().emplace(next, key);
  return next;
}

LONG OpenOrCreate(HKEY key, const std::string& subKey, REGSAM access, bool create, HKEY* result,
                  DWORD* disposition) {
  if (result == nullptr) {
    return ERROR_INVALID_PARAMETER;
  }
  const OpenKey* parent = Lookup(key);
  if (parent == nullptr) {
    return ERROR_INVALID_HANDLE;
  }
  std::vector<std::string> names;
  if (const LONG split = SplitKeyPath(subKey, &names); split != ERROR_SUCCESS) {
    return split;
  }
  Hive* hive = HiveOf(parent->root);
  std::int64_t id = 0;
  bool created = false;
  LONG status = ERROR_SUCCESS;
  if (create) {
    if (!names.empty() && (parent->access & KEY_CREATE_SUB_KEY) == 0) {
      return ERROR_ACCESS_DENIED;
    }
    status = hive->Create(parent->id, names, &id, &created);
  } else {
    status = hive->Find(parent->id, names, &id);
  }
  if (status != ERROR_SUCCESS) {
    return status;
  }
  if (disposition != nullptr) {
    *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  }
  *result = NewHandle({parent->root, id, access});
  return ERROR_SUCCESS;
}

}  // namespace

LONG RegCreateKeyEx(HKEY key, const std::string& subKey, DWORD /*reserved*/,
                    const char* /*keyClass*/, DWORD /*options*/, REGSAM access,
                    const void* /*security*/, HKEY* result, DWORD* disposition) {
  return OpenOrCreate(key, subKey, access, true, result, disposition);
}

LONG RegOpenKeyEx(HKEY key, const std::string& subKey, DWORD /*options*/, REGSAM access,
                  HKEY* result) {
  return OpenOrCreate(key, subKey, access, false, result, nullptr);
}

LONG RegCloseKey(HKEY key) {
  if (key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE) {
    return ERROR_SUCCESS;
  }
  return Handles().erase(key) == 1 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegSetValueEx(HKEY key, const std::string& name, DWORD /*reserved*/, DWORD type,
                   const unsigned char* data, DWORD size) {
  const OpenKey* open = Lookup(key);
  if (open == nullptr) {
    return ERROR_INVALID_HANDLE;
  }
  if ((open->access & KEY_SET_VALUE) == 0) {
    return ERROR_ACCESS_DENIED;
  }
  if (data == nullptr && size != 0) {
    return ERROR_INVALID_PARAMETER;
  }
  const std::vector<unsigned char> bytes(data, data == nullptr ? data : data + size);
  return HiveOf(open->root)->SetValue(open->id, name, type, bytes);
}

LONG RegQueryValueEx(HKEY key, const std::string& name, DWORD* /*reserved*/, DWORD* type,
                     unsigned char* data, DWORD* size) {
  const OpenKey* open = Lookup(key);
  if (open == nullptr) {
    return ERROR_INVALID_HANDLE;
  }
  if ((open->access & KEY_QUERY_VALUE) == 0) {
    return ERROR_ACCESS_DENIED;
  }
  if (data != nullptr && size == nullptr) {
    return ERROR_INVALID_PARAMETER;
  }
  StoredValue value;
  if (const LONG result = HiveOf(open->root)->GetValue(open->id, name, &value);
      result != ERROR_SUCCESS) {
    return result;
  }
  if (type != nullptr) {
    *type = value.type;
  }
  const auto needed = static_cast<DWORD>(value.data.size());
  if (data != nullptr) {
    if (*size < needed) {
      *size = needed;
      return ERROR_MORE_DATA;
    }
    std::copy(value.data.begin(), value.data.end(), data);
  }
  if (size != nullptr) {
    *size = needed;
  }
  return ERROR_SUCCESS;
}

LONG RegQueryInfoKey(HKEY key, DWORD* subKeys, DWORD* maxSubKeyLength, DWORD* values,
                     DWORD* maxValueNameLength, DWORD* maxValueLength) {
  const OpenKey* open = Lookup(key);
  if (open == nullptr) {
    return ERROR_INVALID_HANDLE;
  }
  if ((open->access & KEY_QUERY_VALUE) == 0) {
    return ERROR_ACCESS_DENIED;
  }
  std::vector<std::string> names;
  std::vector<StoredValue> stored;
  Hive* hive = HiveOf(open->root);
  if (const LONG result = hive->Subkeys(open->id, &names); result != ERROR_SUCCESS) {
    return result;
  }
  if (const LONG result = hive->Values(open->id, &stored); result != ERROR_SUCCESS) {
    return result;
  }
  DWORD longestKey = 0;
  for (const std::string& name : names) {
    longestKey = std::max(longestKey, static_cast<DWORD>(name.size()));
  }
  DWORD longestName = 0;
  DWORD longestData = 0;
  for (const StoredValue& value : stored) {
    longestName = std::max(longestName, static_cast<DWORD>(value.name.size()));
    longestData = std::max(longestData, static_cast<DWORD>(value.data.size()));
  }
  const auto set = [](DWORD* out, DWORD value) {
    if (out != nullptr) {
      *out = value;
    }
  };
  set(subKeys, static_cast<DWORD>(names.size()));
  set(maxSubKeyLength, longestKey);
  set(values, static_cast<DWORD>(stored.size()));
  set(maxValueNameLength, longestName);
  set(maxValueLength, longestData);
  return ERROR_SUCCESS;
}

LONG RegEnumValue(HKEY key, DWORD index, char* name, DWORD* nameLength, DWORD* /*reserved*/,
                  DWORD* type, unsigned char* data, DWORD* dataSize) {
  const OpenKey* open = Lookup(key);
  if (open == nullptr) {
    return ERROR_INVALID_HANDLE;
  }
  if ((open->access & KEY_QUERY_VALUE) == 0) {
    return ERROR_ACCESS_DENIED;
  }
  if (name == nullptr || nameLength == nullptr) {
    return ERROR_INVALID_PARAMETER;
  }
  std::vector<StoredValue> stored;
  if (const LONG result = HiveOf(open->root)->Values(open->id, &stored); result != ERROR_SUCCESS) {
    return result;
  }
  if (index >= stored.size()) {
    return ERROR_NO_MORE_ITEMS;
  }
  const StoredValue& value = stored[index];
  if (value.name.size() + 1 > *nameLength) {
    return ERROR_MORE_DATA;
  }
  std::memcpy(name, value.name.c_str(), value.name.size() + 1);
  *nameLength = static_cast<DWORD>(value.name.size());
  if (type != nullptr) {
    *type = value.type;
  }
  if (dataSize != nullptr) {
    const auto needed = static_cast<DWORD>(value.data.size());
    if (data != nullptr && *dataSize < needed) {
      *dataSize = needed;
      return ERROR_MORE_DATA;
    }
    if (data != nullptr) {
      std::copy(value.data.begin(), value.data.end(), data);
    }
    *dataSize = needed;
  }
  return ERROR_SUCCESS;
}

LONG RegEnumKey(HKEY key, DWORD index, char* name, DWORD nameSize) {
  const OpenKey* open = Lookup(key);
  if (open == nullptr) {
    return ERROR_INVALID_HANDLE;
  }
  if ((open->access & KEY_ENUMERATE_SUB_KEYS) == 0) {
    return ERROR_ACCESS_DENIED;
  }
  if (name == nullptr) {
    return ERROR_INVALID_PARAMETER;
  }
  std::vector<std::string> names;
  if (const LONG result = HiveOf(open->root)->Subkeys(open->id, &names); result != ERROR_SUCCESS) {
    return result;
  }
  if (index >= names.size()) {
    return ERROR_NO_MORE_ITEMS;
  }
  if (names[index].size() + 1 > nameSize) {
    return ERROR_MORE_DATA;
  }
  std::memcpy(name, names[index].c_str(), names[index].size() + 1);
  return ERROR_SUCCESS;
}

LONG RegDeleteKey(HKEY key, const std::string& subKey) {
  const OpenKey* open = Lookup(key);
  if (open == nullptr) {
    return ERROR_INVALID_HANDLE;
  }
  std::vector<std::string> names;
  if (const LONG split = SplitKeyPath(subKey, &names); split != ERROR_SUCCESS) {
    return split;
  }
  if (names.empty()) {
    return ERROR_INVALID_PARAMETER;
  }
  Hive* hive = HiveOf(open->root);
  std::int64_t id = 0;
  if (const LONG result = hive->Find(open->id, names, &id); result != ERROR_SUCCESS) {
    return result;
  }
  return hive->DeleteKey(id);
}

LONG RegDeleteValue(HKEY key, const std::string& name) {
  const OpenKey* open = Lookup(key);
  if (open == nullptr) {
    return ERROR_INVALID_HANDLE;
  }
  if ((open->access & KEY_SET_VALUE) == 0) {
    return ERROR_ACCESS_DENIED;
  }
  return HiveOf(open->root)->DeleteValue(open->id, name);
}

}  // namespace registry
