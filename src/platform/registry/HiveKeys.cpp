// The key and value operations of one hive: each runs under one read lock or in one write
// transaction of the hive's connection, on a key that must still be there.
#include <sqlite3.h>

#include <QString>

#include "platform/registry/Hive.h"
#include "platform/sqlite/Connection.h"
#include "platform/sqlite/Statement.h"
#include "platform/sqlite/Transaction.h"

namespace registry {
namespace {

std::string Fold(const std::string& name) {
  return QString::fromStdString(name).toCaseFolded().toStdString();
}

}  // namespace

template <class Work>
LONG Hive::Reading(std::int64_t key, Work&& work) {
  sqlite::Connection* db = nullptr;
  if (ForReading(&db) != ERROR_SUCCESS) {
    return ERROR_KEY_DELETED;  // the hive went away under an open key
  }
  return Noted([&] {
    sqlite::Transaction snapshot(*db);
    if (const LONG exists = Exists(key); exists != ERROR_SUCCESS) {
      return exists;  // gone, or a damaged hive
    }
    return work(*db);
  });
}

template <class Work>
LONG Hive::Writing(std::int64_t key, Work&& work) {
  sqlite::Connection* db = nullptr;
  if (const LONG result = ForWriting(&db); result != ERROR_SUCCESS) {
    return result;
  }
  return Noted([&] {
    sqlite::Transaction transaction(*db, sqlite::Transaction::Kind::Immediate);
    if (const LONG exists = Exists(key); exists != ERROR_SUCCESS) {
      return exists;  // gone, or a damaged hive
    }
    const LONG result = work(*db);
    if (result == ERROR_SUCCESS) {
      transaction.Commit();
    }
    return result;
  });
}

LONG Hive::Find(std::int64_t from, const std::vector<std::string>& names, std::int64_t* key) {
  if (sqlite::Connection* unused = nullptr; ForReading(&unused) != ERROR_SUCCESS) {
    return ERROR_FILE_NOT_FOUND;  // a missing or damaged hive holds no keys
  }
  return Reading(from, [&](sqlite::Connection& db) {
    sqlite::Statement child(db, "SELECT id FROM keys WHERE parent = ?1 AND fold = ?2");
    std::int64_t current = from;
    for (const std::string& name : names) {
      child.Reset();
      child.Bind(1, current).Bind(2, Fold(name));
      if (!child.Step()) {
        return ERROR_FILE_NOT_FOUND;
      }
      current = child.Int(0);
    }
    *key = current;
    return ERROR_SUCCESS;
  });
}

LONG Hive::Create(std::int64_t from, const std::vector<std::string>& names, std::int64_t* key,
                  bool* created) {
  return Writing(from, [&](sqlite::Connection& db) {
    sqlite::Statement child(db, "SELECT id FROM keys WHERE parent = ?1 AND fold = ?2");
    sqlite::Statement insert(db, "INSERT INTO keys (parent, name, fold) VALUES (?1, ?2, ?3)");
    std::int64_t current = from;
    *created = false;
    for (const std::string& name : names) {
      child.Reset();
      child.Bind(1, current).Bind(2, Fold(name));
      if (child.Step()) {
        current = child.Int(0);
        *created = false;
      } else {
        insert.Reset();
        insert.Bind(1, current).Bind(2, name).Bind(3, Fold(name)).Run();
        current = db.LastInsertRowId();
        *created = true;
      }
    }
    child.Reset();
    *key = current;
    return ERROR_SUCCESS;
  });
}

LONG Hive::Exists(std::int64_t key) {
  sqlite::Connection* db = nullptr;
  if (const LONG result = ForReading(&db); result != ERROR_SUCCESS) {
    return ERROR_KEY_DELETED;
  }
  return Noted([&] {
    sqlite::Statement query(*db, "SELECT 1 FROM keys WHERE id = ?1");
    query.Bind(1, key);
    return query.Step() ? ERROR_SUCCESS : ERROR_KEY_DELETED;
  });
}

LONG Hive::SetValue(std::int64_t key, const std::string& name, DWORD type,
                    const std::vector<unsigned char>& data) {
  return Writing(key, [&](sqlite::Connection& db) {
    // An existing value keeps its place in the enumeration order; a new one goes last.
    sqlite::Statement update(db,
                             "UPDATE key_values SET name = ?3, type = ?4, data = ?5"
                             " WHERE key = ?1 AND fold = ?2");
    update.Bind(1, key).Bind(2, Fold(name)).Bind(3, name).Bind(4, std::int64_t{type});
    update.BindBlob(5, data).Run();
    if (db.Changes() == 0) {
      sqlite::Statement insert(db,
                               "INSERT INTO key_values (key, fold, name, type, data)"
                               " VALUES (?1, ?2, ?3, ?4, ?5)");
      insert.Bind(1, key).Bind(2, Fold(name)).Bind(3, name).Bind(4, std::int64_t{type});
      insert.BindBlob(5, data).Run();
    }
    return ERROR_SUCCESS;
  });
}

LONG Hive::GetValue(std::int64_t key, const std::string& name, StoredValue* value) {
  return Reading(key, [&](sqlite::Connection& db) {
    sqlite::Statement query(db,
                            "SELECT name, type, data FROM key_values WHERE key = ?1 AND fold = ?2");
    query.Bind(1, key).Bind(2, Fold(name));
    if (!query.Step()) {
      return ERROR_FILE_NOT_FOUND;
    }
    *value = {query.Text(0), static_cast<DWORD>(query.Int(1)), query.Blob(2)};
    return ERROR_SUCCESS;
  });
}

LONG Hive::Values(std::int64_t key, std::vector<StoredValue>* values) {
  return Reading(key, [&](sqlite::Connection& db) {
    sqlite::Statement query(db,
                            "SELECT name, type, data FROM key_values WHERE key = ?1 ORDER BY id");
    query.Bind(1, key);
    values->clear();
    while (query.Step()) {
      values->push_back({query.Text(0), static_cast<DWORD>(query.Int(1)), query.Blob(2)});
    }
    return ERROR_SUCCESS;
  });
}

LONG Hive::Subkeys(std::int64_t key, std::vector<std::string>* names) {
  return Reading(key, [&](sqlite::Connection& db) {
    sqlite::Statement query(db, "SELECT name FROM keys WHERE parent = ?1 ORDER BY fold, id");
    query.Bind(1, key);
    names->clear();
    while (query.Step()) {
      names->push_back(query.Text(0));
    }
    return ERROR_SUCCESS;
  });
}

LONG Hive::DeleteKey(std::int64_t key) {
  if (key == kRootKey) {
    return ERROR_ACCESS_DENIED;
  }
  return Writing(key, [&](sqlite::Connection& db) {
    sqlite::Statement children(db, "SELECT 1 FROM keys WHERE parent = ?1 LIMIT 1");
    children.Bind(1, key);
    if (children.Step()) {
      return ERROR_ACCESS_DENIED;  // as on Windows: a key with subkeys stays
    }
    children.Reset();
    sqlite::Statement values(db, "DELETE FROM key_values WHERE key = ?1");
    values.Bind(1, key).Run();
    sqlite::Statement remove(db, "DELETE FROM keys WHERE id = ?1");
    remove.Bind(1, key).Run();
    return ERROR_SUCCESS;
  });
}

LONG Hive::DeleteValue(std::int64_t key, const std::string& name) {
  return Writing(key, [&](sqlite::Connection& db) {
    sqlite::Statement remove(db, "DELETE FROM key_values WHERE key = ?1 AND fold = ?2");
    remove.Bind(1, key).Bind(2, Fold(name)).Run();
    return db.Changes() == 0 ? ERROR_FILE_NOT_FOUND : ERROR_SUCCESS;
  });
}

}  // namespace registry
