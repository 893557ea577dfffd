#pragma once

#include <cstdint>
#include <string>

namespace registry {

// The registry calls of the Windows API the program was written against, over hives of our own
// (one SQLite file each). Names, arguments that matter and result codes are those of the
// originals, so the callers read as they do on Windows. Texts are UTF-8.
using LONG = std::int32_t;
using DWORD = std::uint32_t;
using REGSAM = DWORD;
using HKEY = std::uintptr_t;

inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;

inline constexpr LONG ERROR_SUCCESS = 0;
inline constexpr LONG ERROR_FILE_NOT_FOUND = 2;
inline constexpr LONG ERROR_ACCESS_DENIED = 5;
inline constexpr LONG ERROR_INVALID_HANDLE = 6;
inline constexpr LONG ERROR_OUTOFMEMORY = 14;
inline constexpr LONG ERROR_INVALID_PARAMETER = 87;
inline constexpr LONG ERROR_BAD_PATHNAME = 161;
inline constexpr LONG ERROR_MORE_DATA = 234;
inline constexpr LONG ERROR_NO_MORE_ITEMS = 259;
inline constexpr LONG ERROR_BADDB = 1009;
inline constexpr LONG ERROR_KEY_DELETED = 1018;
inline constexpr LONG ERROR_BUSY = 170;

inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD REG_MULTI_SZ = 7;

inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr REGSAM KEY_NOTIFY = 0x0010;
inline constexpr REGSAM KEY_CREATE_LINK = 0x0020;
inline constexpr REGSAM KEY_READ = 0x20019;
inline constexpr REGSAM KEY_WRITE = 0x20006;
inline constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

inline constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Opens `subKey` below `key`, creating it and any missing keys above it.
LONG RegCreateKeyEx(HKEY key, const std::string& subKey, DWORD reserved, const char* keyClass,
                    DWORD options, REGSAM access, const void* security, HKEY* result,
                    DWORD* disposition);
// Opens an existing key; ERROR_FILE_NOT_FOUND when it does not exist.
LONG RegOpenKeyEx(HKEY key, const std::string& subKey, DWORD options, REGSAM access, HKEY* result);
LONG RegCloseKey(HKEY key);
// Writes a value; the key must have been opened with KEY_SET_VALUE.
LONG RegSetValueEx(HKEY key, const std::string& name, DWORD reserved, DWORD type,
                   const unsigned char* data, DWORD size);
// Reads a value's type and data. With `data` null only the type and the size are returned;
// a buffer smaller than the data gives ERROR_MORE_DATA and the size needed.
LONG RegQueryValueEx(HKEY key, const std::string& name, DWORD* reserved, DWORD* type,
                     unsigned char* data, DWORD* size);
// Counts and longest lengths of a key's subkeys and values (names in characters, without the
// terminator). Any pointer may be null.
LONG RegQueryInfoKey(HKEY key, DWORD* subKeys, DWORD* maxSubKeyLength, DWORD* values,
                     DWORD* maxValueNameLength, DWORD* maxValueLength);
// The value at `index`, in the order the values were created. `nameLength` gives the buffer's
// size in characters (terminator included) and receives the name's length (without it).
LONG RegEnumValue(HKEY key, DWORD index, char* name, DWORD* nameLength, DWORD* reserved,
                  DWORD* type, unsigned char* data, DWORD* dataSize);
// The subkey at `index`, in name order without regard to case.
LONG RegEnumKey(HKEY key, DWORD index, char* name, DWORD nameSize);
// Removes a key that has no subkeys, with its values.
LONG RegDeleteKey(HKEY key, const std::string& subKey);
LONG RegDeleteValue(HKEY key, const std::string& name);

// A key handle closed when the object goes.
class Key {
 public:
  Key() = default;
  explicit Key(HKEY handle) : handle_(handle) {}
  ~Key() { Close(); }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  Key(Key&& other) noexcept : handle_(other.handle_) { other.handle_ = 0; }

  HKEY Get() const noexcept { return handle_; }
  HKEY* Receive() noexcept {
    Close();
    return &handle_;
  }
  void Close() noexcept {
    if (handle_ != 0) {
      RegCloseKey(handle_);
      handle_ = 0;
    }
  }

 private:
  HKEY handle_ = 0;
};

}  // namespace registry
