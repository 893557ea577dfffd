#include "tools/regtool/RegTool.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <sstream>
#include <stdexcept>

#include "platform/registry/Hive.h"
#include "platform/text/AsciiCase.h"

namespace regtool {
namespace {

using namespace registry;

class UsageError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

class Failure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

constexpr const char* kHelp =
    "regtool: looks at and repairs Scourwell's registry settings.\n\n"
    "  regtool list KEY                 its subkeys (ending in \\), then its values:\n"
    "                                   name, type and data, one a line, tab-separated\n"
    "  regtool get KEY NAME             the data alone: text as stored, a DWORD in decimal\n"
    "  regtool set KEY NAME DATA [--type sz|dword|expand_sz|multi_sz|binary]\n"
    "                                   writes a value (default type sz); multi_sz entries\n"
    "                                   are separated by ';', binary data is hex (01 ab ff)\n"
    "  regtool delete KEY [NAME]        removes the value NAME, or the key (without subkeys)\n"
    "  regtool delete KEY --recursive [--yes]\n"
    "                                   removes the key with every key below it; asks first\n"
    "                                   unless --yes is given, and without --yes refuses when\n"
    "                                   standard input is not a terminal\n"
    "  regtool --version                the version\n\n"
    "KEY is written as HKCU\\Software\\Pellbrook\\Scourwell\\General (HKCU, HKLM or the full\n"
    "root names). The empty value name is written \"\". Exit status: 0 success, 1 failure,\n"
    "2 usage error.\n\n"
    "To reset Scourwell's settings: regtool delete 'HKCU\\Software\\Pellbrook\\Scourwell' "
    "--recursive\n";

std::string Upper(std::string text) { return text::AsciiUpper(std::move(text)); }

std::string Describe(LONG code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
      return "no such key or value";
    case ERROR_ACCESS_DENIED:
      return "access denied (a key with subkeys cannot be deleted; the hive may not be "
             "writable)";
    case ERROR_BADDB:
      return "the hive file is damaged or of another kind; it was not changed";
    case ERROR_BUSY:
      return "the hive is locked by another program";
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_PARAMETER:
      return "invalid key path";
    default:
      return "registry error " + std::to_string(code);
  }
}

void Check(LONG code, const std::string& what) {
  if (code != ERROR_SUCCESS) {
    // A damaged or misplaced hive file reads as empty; say so, and which file, rather than let
    // "no such key" or a bare number stand alone.
    const std::string problem = LastHiveProblem();
    throw Failure(what + ": " + Describe(code) + (problem.empty() ? "" : ". " + problem));
  }
}

std::string TypeName(DWORD type) {
  switch (type) {
    case REG_SZ:
      return "REG_SZ";
    case REG_EXPAND_SZ:
      return "REG_EXPAND_SZ";
    case REG_BINARY:
      return "REG_BINARY";
    case REG_DWORD:
      return "REG_DWORD";
    case REG_MULTI_SZ:
      return "REG_MULTI_SZ";
    default:
      return "REG_" + std::to_string(type);
  }
}

// The data of a value as the tool shows it.
std::string Show(DWORD type, const std::vector<unsigned char>& data) {
  const std::string bytes(data.begin(), data.end());
  if (type == REG_SZ || type == REG_EXPAND_SZ) {
    return bytes.substr(0, bytes.find('\0'));
  }
  if (type == REG_DWORD && data.size() == 4) {
    std::int32_t number = 0;
    std::memcpy(&number, data.data(), 4);
    return std::to_string(number);
  }
  if (type == REG_MULTI_SZ) {
    std::string shown;
    std::size_t start = 0;
    while (start < bytes.size() && bytes[start] != '\0') {
      const std::size_t end = bytes.find('\0', start);
      shown += (shown.empty() ? "" : ";") + bytes.substr(start, end - start);
      start = end == std::string::npos ? bytes.size() : end + 1;
    }
    return shown;
  }
  static const char* digits = "0123456789abcdef";
  std::string hex;
  for (const unsigned char byte : data) {
    hex += (hex.empty() ? "" : " ");
    hex += digits[byte >> 4];
    hex += digits[byte & 15];
  }
  return hex;
}

}  // namespace

std::vector<unsigned char> ParseData(DWORD type, const std::string& text) {
  std::vector<unsigned char> data;
  if (type == REG_SZ || type == REG_EXPAND_SZ) {
    data.assign(text.begin(), text.end());
    data.push_back(0);
  } else if (type == REG_DWORD) {
    std::int64_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        number < INT32_MIN || number > UINT32_MAX) {
      throw UsageError("a DWORD is a whole number from -2147483648 to 4294967295, not '" + text +
                       "'");
    }
    const auto value = static_cast<std::uint32_t>(number);
    data.resize(4);
    std::memcpy(data.data(), &value, 4);
  } else if (type == REG_MULTI_SZ) {
    std::size_t start = 0;
    while (start <= text.size() && !text.empty()) {
      const std::size_t end = std::min(text.find(';', start), text.size());
      data.insert(data.end(), text.begin() + static_cast<std::ptrdiff_t>(start),
                  text.begin() + static_cast<std::ptrdiff_t>(end));
      data.push_back(0);
      start = end + 1;
    }
    data.push_back(0);
  } else {
    std::string hex;
    for (const char c : text) {
      if (c != ' ') {
        hex += c;
      }
    }
    if (hex.size() % 2 != 0) {
      throw UsageError("binary data is pairs of hex digits, as 01 ab ff");
    }
    for (std::size_t i = 0; i < hex.size(); i += 2) {
      unsigned int byte = 0;
      const auto [end, error] = std::from_chars(hex.data() + i, hex.data() + i + 2, byte, 16);
      if (error != std::errc() || end != hex.data() + i + 2) {
        throw UsageError("binary data is pairs of hex digits, as 01 ab ff");
      }
      data.push_back(static_cast<unsigned char>(byte));
    }
  }
  return data;
}

namespace {

DWORD TypeOf(const std::string& name) {
  const std::string upper = Upper(name);
  if (upper == "SZ") return REG_SZ;
  if (upper == "DWORD") return REG_DWORD;
  if (upper == "EXPAND_SZ") return REG_EXPAND_SZ;
  if (upper == "MULTI_SZ") return REG_MULTI_SZ;
  if (upper == "BINARY") return REG_BINARY;
  throw UsageError("unknown type '" + name + "': sz, dword, expand_sz, multi_sz or binary");
}

KeyPath KeyOf(const std::string& text) {
  const std::optional<KeyPath> key = ParseKeyPath(text);
  if (!key) {
    throw UsageError("'" + text + "' is not a key: write it as HKCU\\Software\\...");
  }
  return *key;
}

// How a key is named in messages: as the user wrote it.
std::string Named(const std::string& keyText) { return "the key '" + keyText + "'"; }
std::string Named(const std::string& keyText, const std::string& value) {
  return "the value '" + value + "' of '" + keyText + "'";
}

void List(const std::string& keyText, std::ostream& out) {
  const KeyPath path = KeyOf(keyText);
  Key key;
  Check(RegOpenKeyEx(path.root, path.subKey, 0, KEY_READ, key.Receive()),
        "cannot open " + Named(keyText));
  for (DWORD index = 0;; ++index) {
    char name[256];
    const LONG result = RegEnumKey(key.Get(), index, name, sizeof name);
    if (result == ERROR_NO_MORE_ITEMS) {
      break;
    }
    Check(result, "cannot list the subkeys of " + Named(keyText));
    out << name << "\\\n";
  }
  DWORD longest = 0;
  Check(RegQueryInfoKey(key.Get(), nullptr, nullptr, nullptr, &longest, nullptr),
        "cannot read " + Named(keyText));
  for (DWORD index = 0;; ++index) {
    std::string name(longest + 1, '\0');
    DWORD length = longest + 1;
    DWORD type = 0;
    DWORD size = 0;
    LONG result =
        RegEnumValue(key.Get(), index, name.data(), &length, nullptr, &type, nullptr, &size);
    if (result == ERROR_NO_MORE_ITEMS) {
      break;
    }
    Check(result, "cannot list the values of " + Named(keyText));
    name.resize(length);
    std::vector<unsigned char> data(size);
    Check(RegQueryValueEx(key.Get(), name, nullptr, &type, data.data(), &size),
          "cannot read " + Named(keyText, name));
    data.resize(size);
    out << (name.empty() ? "(Default)" : name) << '\t' << TypeName(type) << '\t' << Show(type, data)
        << '\n';
  }
}

// The names of a key's subkeys.
std::vector<std::string> SubkeysOf(const std::string& keyText, HKEY key) {
  std::vector<std::string> names;
  for (DWORD index = 0;; ++index) {
    char name[256];
    const LONG result = RegEnumKey(key, index, name, sizeof name);
    if (result == ERROR_NO_MORE_ITEMS) {
      return names;
    }
    Check(result, "cannot list the subkeys of " + Named(keyText));
    names.emplace_back(name);
  }
}

// The key and every key below it, deepest first: the order they can be deleted in.
void CollectTree(const KeyPath& path, const std::string& keyText, std::vector<KeyPath>& keys) {
  Key key;
  Check(RegOpenKeyEx(path.root, path.subKey, 0, KEY_READ, key.Receive()),
        "cannot open " + Named(keyText));
  for (const std::string& name : SubkeysOf(keyText, key.Get())) {
    const KeyPath below{path.root, path.subKey.empty() ? name : path.subKey + "\\" + name};
    CollectTree(below, keyText + "\\" + name, keys);
  }
  keys.push_back(path);
}

void DeleteTree(const std::string& keyText, bool yes, const Terminal& terminal) {
  const KeyPath path = KeyOf(keyText);
  if (path.subKey.empty()) {
    throw UsageError("a root key cannot be deleted");
  }
  std::vector<KeyPath> keys;
  CollectTree(path, keyText, keys);
  if (!yes) {
    if (!terminal.interactive) {
      throw UsageError("delete --recursive removes " + std::to_string(keys.size()) +
                       " keys; give --yes to do so when standard input is not a terminal");
    }
    terminal.out << "Delete '" << keyText << "' and the " << keys.size() - 1
                 << " keys below it? [y/N] " << std::flush;
    std::string answer;
    std::getline(terminal.in, answer);
    if (answer != "y" && answer != "Y" && answer != "yes") {
      throw Failure("nothing was deleted");
    }
  }
  for (const KeyPath& key : keys) {
    Check(RegDeleteKey(key.root, key.subKey),
          "cannot delete " + Named(keyText) +
              (key.subKey == path.subKey ? std::string() : " (at '" + key.subKey + "')"));
  }
}

int Execute(const std::vector<std::string>& words, std::ostream& out, const Terminal& terminal) {
  std::vector<std::string> operands;
  std::string typeName = "sz";
  bool recursive = false;
  bool yes = false;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (words[i] == "--type") {
      if (i + 1 == words.size()) {
        throw UsageError("--type needs a value");
      }
      typeName = words[++i];
    } else if (words[i].rfind("--type=", 0) == 0) {
      typeName = words[i].substr(7);
    } else if (words[i] == "--recursive" || words[i] == "-r") {
      recursive = true;
    } else if (words[i] == "--yes" || words[i] == "-y") {
      yes = true;
    } else {
      operands.push_back(words[i]);
    }
  }
  if (operands.empty()) {
    throw UsageError("no command given");
  }
  const std::string& command = operands[0];
  const std::size_t count = operands.size() - 1;
  if ((recursive || yes) && !(command == "delete" && count == 1 && recursive)) {
    throw UsageError("--recursive and --yes go with 'delete KEY' alone");
  }
  if (command == "list" && count == 1) {
    List(operands[1], out);
  } else if (command == "get" && count == 2) {
    const KeyPath path = KeyOf(operands[1]);
    Key key;
    Check(RegOpenKeyEx(path.root, path.subKey, 0, KEY_READ, key.Receive()),
          "cannot open " + Named(operands[1]));
    DWORD type = 0;
    DWORD size = 0;
    Check(RegQueryValueEx(key.Get(), operands[2], nullptr, &type, nullptr, &size),
          "cannot read " + Named(operands[1], operands[2]));
    std::vector<unsigned char> data(size);
    Check(RegQueryValueEx(key.Get(), operands[2], nullptr, &type, data.data(), &size),
          "cannot read " + Named(operands[1], operands[2]));
    data.resize(size);
    out << Show(type, data) << '\n';
  } else if (command == "set" && count == 3) {
    const KeyPath path = KeyOf(operands[1]);
    const DWORD type = TypeOf(typeName);
    const std::vector<unsigned char> data = ParseData(type, operands[3]);
    Key key;
    Check(RegCreateKeyEx(path.root, path.subKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                         KEY_ALL_ACCESS, nullptr, key.Receive(), nullptr),
          "cannot create " + Named(operands[1]));
    Check(RegSetValueEx(key.Get(), operands[2], 0, type, data.data(),
                        static_cast<DWORD>(data.size())),
          "cannot write " + Named(operands[1], operands[2]));
  } else if (command == "delete" && count == 1 && recursive) {
    DeleteTree(operands[1], yes, terminal);
  } else if (command == "delete" && count == 1) {
    const KeyPath path = KeyOf(operands[1]);
    Check(RegDeleteKey(path.root, path.subKey), "cannot delete " + Named(operands[1]));
  } else if (command == "delete" && count == 2) {
    const KeyPath path = KeyOf(operands[1]);
    Key key;
    Check(RegOpenKeyEx(path.root, path.subKey, 0, KEY_ALL_ACCESS, key.Receive()),
          "cannot open " + Named(operands[1]));
    Check(RegDeleteValue(key.Get(), operands[2]),
          "cannot delete " + Named(operands[1], operands[2]));
  } else {
    throw UsageError(
        "usage: regtool list KEY | get KEY NAME | set KEY NAME DATA [--type T] | "
        "delete KEY [NAME] | delete KEY --recursive [--yes]");
  }
  return 0;
}

}  // namespace

std::optional<KeyPath> ParseKeyPath(const std::string& text) {
  const std::size_t slash = text.find('\\');
  const std::string rootName = Upper(text.substr(0, slash));
  KeyPath path;
  if (rootName == "HKCU" || rootName == "HKEY_CURRENT_USER") {
    path.root = HKEY_CURRENT_USER;
  } else if (rootName == "HKLM" || rootName == "HKEY_LOCAL_MACHINE") {
    path.root = HKEY_LOCAL_MACHINE;
  } else {
    return std::nullopt;
  }
  path.subKey = slash == std::string::npos ? std::string() : text.substr(slash + 1);
  return path;
}

int Run(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
  std::istringstream none;
  return Run(words, out, err, Terminal{none, out, false});
}

int Run(const std::vector<std::string>& words, std::ostream& out, std::ostream& err,
        const Terminal& terminal) {
  if (words.size() == 1 && (words[0] == "--version" || words[0] == "-V")) {
    out << "regtool " SCOURWELL_VERSION "\n";
    return 0;
  }
  if (std::find(words.begin(), words.end(), "--help") != words.end() ||
      std::find(words.begin(), words.end(), "-h") != words.end()) {
    out << kHelp;
    return 0;
  }
  try {
    return Execute(words, out, terminal);
  } catch (const UsageError& error) {
    err << "regtool: " << error.what() << " (see 'regtool --help')\n";
    return 2;
  } catch (const std::exception& error) {
    err << "regtool: " << error.what() << '\n';
    return 1;
  }
}

}  // namespace regtool
