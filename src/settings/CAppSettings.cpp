#include "settings/CAppSettings.h"

#include <QLocale>
#include <cstring>

#include "errors/ClassFailure.h"
#include "platform/registry/Registry.h"

namespace settings {
namespace {

using namespace registry;

using Errors = errors::ClassErrors<CAppSettings>;

HKEY RootOf(std::int32_t rootKey) { return static_cast<HKEY>(static_cast<std::uint32_t>(rootKey)); }

std::string DateText(const QDateTime& date) {
  const QLocale locale = QLocale::system();
  if (date.time() == QTime(0, 0)) {
    return locale.toString(date.date(), QLocale::ShortFormat).toStdString();
  }
  return locale.toString(date, QLocale::ShortFormat).toStdString();
}

void RequireText(const std::string& value, std::int32_t number, const char* description) {
  if (value.empty()) {
    Errors::Raise(number, description);
  }
}

}  // namespace

void CAppSettings::Init(const std::string& companyName, const std::string& appName) {
  // The company name is stored before the application name is tested.
  SetCompanyName(companyName);
  SetAppName(appName);
}

void CAppSettings::SetAppName(const std::string& value) {
  RequireText(value, kInvalidAppName, "Invalid AppName value");
  appName_ = value;
}

void CAppSettings::SetCompanyName(const std::string& value) {
  RequireText(value, kInvalidCompanyName, "Invalid CompanyName value");
  companyName_ = value;
}

void CAppSettings::SetMainBranch(const std::string& value) {
  RequireText(value, kInvalidMainBranch, "Invalid MainBranch value");
  mainBranch_ = value;
}

void CAppSettings::SetRootKey(std::int32_t value) {
  if (value != HKEY_CURRENT_USER && value != HKEY_LOCAL_MACHINE) {
    Errors::Raise(kInvalidRootKey, "Invalid root key value");
  }
  rootKey_ = value;
}

std::string CAppSettings::SectionPath(const std::string& section) const {
  return mainBranch_ + "\\" + companyName_ + "\\" + appName_ + "\\" + section;
}

void CAppSettings::DeleteSetting(const std::string& section, const std::string& key) {
  Errors::Guarded([&] {
    const std::string path = key.empty() ? SectionPath(section) : SectionPath(section) + "\\" + key;
    if (RegDeleteKey(RootOf(rootKey_), path) != ERROR_SUCCESS) {
      Errors::Raise(kFailedDeleting, "Failed deleting the application setting");
    }
  });
}

void CAppSettings::GetAllKeys(const std::string& section, KeyList& keys) {
  keys.Clear();
  Errors::Guarded([&] {
    Key key;
    if (RegOpenKeyEx(RootOf(rootKey_), SectionPath(section), 0, KEY_QUERY_VALUE, key.Receive()) !=
        ERROR_SUCCESS) {
      Errors::Raise(kFailedGettingKeys, "Failed getting all the application keys");
    }
    DWORD longest = 0;
    if (RegQueryInfoKey(key.Get(), nullptr, nullptr, nullptr, &longest, nullptr) != ERROR_SUCCESS) {
      return;
    }
    for (DWORD index = 0;; ++index) {
      std::string name(longest + 1, '\0');
      DWORD length = longest + 1;
      if (RegEnumValue(key.Get(), index, name.data(), &length, nullptr, nullptr, nullptr,
                       nullptr) != ERROR_SUCCESS) {
        break;
      }
      if (keys.UBound() == 32767) {
        throw std::overflow_error("more than 32767 names");  // the count is a 16-bit integer
      }
      keys.Append(name.substr(0, length));
    }
  });
}

SettingValue CAppSettings::GetSetting(const std::string& section, const std::string& key,
                                      const SettingValue& defaultValue) {
  return Errors::Guarded([&] {
    SettingValue result = defaultValue;
    Key handle;
    if (RegOpenKeyEx(RootOf(rootKey_), SectionPath(section), 0, KEY_READ, handle.Receive()) !=
        ERROR_SUCCESS) {
      return result;
    }
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueEx(handle.Get(), key, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
      return result;
    }
    if (type == REG_SZ) {
      std::string buffer(size, '\0');
      if (RegQueryValueEx(handle.Get(), key, nullptr, &type,
                          reinterpret_cast<unsigned char*>(buffer.data()),
                          &size) == ERROR_SUCCESS) {
        // The stored text without its terminating zero; a value of no bytes at all is empty.
        buffer.resize(size > 0 ? size - 1 : 0);
        result = SettingValue::Text(buffer);
      }
    } else if (type == REG_DWORD) {
      std::int32_t number = 0;
      DWORD numberSize = sizeof number;
      if (RegQueryValueEx(handle.Get(), key, nullptr, &type,
                          reinterpret_cast<unsigned char*>(&number),
                          &numberSize) == ERROR_SUCCESS) {
        result = SettingValue::Long(number);
      }
    }
    return result;
  });
}

void CAppSettings::SaveSetting(const std::string& section, const std::string& key,
                               const SettingValue& setting) {
  Errors::Guarded([&] {
    Key handle;
    if (RegCreateKeyEx(RootOf(rootKey_), SectionPath(section), 0, nullptr, REG_OPTION_NON_VOLATILE,
                       0x3F, nullptr, handle.Receive(), nullptr) != ERROR_SUCCESS) {
      Errors::Raise(kFailedSaving, "Failed saving the application setting");
    }
    DWORD type = REG_SZ;
    std::vector<unsigned char> data;
    const auto text = [&](const std::string& value) {
      data.assign(value.begin(), value.end());
      data.push_back(0);
    };
    switch (setting.GetKind()) {
      case SettingValue::Kind::Text:
        text(setting.AsText());
        break;
      case SettingValue::Kind::Date:
        text(DateText(setting.AsDate()));
        break;
      case SettingValue::Kind::Boolean:
        text(setting.AsBoolean() ? "True" : "False");
        break;
      default: {
        type = REG_DWORD;
        const std::int32_t number = ToLong(setting);
        data.resize(sizeof number);
        std::memcpy(data.data(), &number, sizeof number);
        break;
      }
    }
    if (RegSetValueEx(handle.Get(), key, 0, type, data.data(), static_cast<DWORD>(data.size())) !=
        ERROR_SUCCESS) {
      Errors::Raise(kFailedSaving, "Failed saving the application setting");
    }
  });
}

}  // namespace settings
