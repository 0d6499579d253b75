// Build step: makes the supplied pad.db from the version 0 schema and the
// region CSVs, then brings it to the program's version through the same
// steps that upgrade a user's store.
// Usage: make_pad_db <schema.sql> <regions dir> <output pad.db>
// The file is written beside the output and renamed into place, so a failed
// run never leaves a half-made store behind.

#include "store/SchemaSteps.h"

#include <QCoreApplication>
#include <QSqlDatabase>

#include <sqlite3.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

bool readFile(const std::string &path, std::string &out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    out = buffer.str();
    return true;
}

std::vector<std::string> splitLine(const std::string &line)
{
    std::vector<std::string> fields;
    std::string field;
    for (char c : line) {
        if (c == ',') {
            fields.push_back(field);
            field.clear();
        } else if (c != '\r') {
            field += c;
        }
    }
    fields.push_back(field);
    return fields;
}

bool loadCsv(sqlite3 *db, const std::string &csvPath, const std::string &table, size_t columns)
{
    std::ifstream in(csvPath, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", csvPath.c_str());
        return false;
    }
    std::string sql = "INSERT INTO " + table + " VALUES (?";
    for (size_t i = 1; i < columns; ++i)
        sql += ", ?";
    sql += ")";
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
        return false;

    std::string line;
    std::getline(in, line); // header
    bool ok = true;
    while (ok && std::getline(in, line)) {
        if (line.empty() || line == "\r")
            continue;
        const auto fields = splitLine(line);
        if (fields.size() != columns) {
            std::fprintf(stderr, "%s: bad line: %s\n", csvPath.c_str(), line.c_str());
            ok = false;
            break;
        }
        for (size_t i = 0; i < columns; ++i)
            sqlite3_bind_text(stmt, int(i + 1), fields[i].c_str(), -1, SQLITE_TRANSIENT);
        ok = sqlite3_step(stmt) == SQLITE_DONE;
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
    return ok;
}

bool exec(sqlite3 *db, const std::string &sql)
{
    char *error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "sqlite: %s\n", error ? error : "?");
        sqlite3_free(error);
        return false;
    }
    return true;
}

bool runSteps(const std::string &path)
{
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("make_pad_db"));
        db.setDatabaseName(QString::fromStdString(path));
        if (db.open()) {
            const Result<void> upgraded = Schema::upgrade(db, QString::fromStdString(path));
            if (!upgraded)
                std::fprintf(stderr, "upgrade: %s\n", qPrintable(upgraded.error()));
            ok = upgraded.ok();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("make_pad_db"));
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_pad_db <schema.sql> <regions dir> <pad.db>\n");
        return 2;
    }
    QCoreApplication app(argc, argv);
    const std::string regions = argv[2];
    const std::string target = argv[3];
    const std::string temp = target + ".part";
    std::remove(temp.c_str());

    std::string schema;
    if (!readFile(argv[1], schema)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    sqlite3 *db = nullptr;
    if (sqlite3_open(temp.c_str(), &db) != SQLITE_OK)
        return 1;
    bool ok = exec(db, "PRAGMA journal_mode=DELETE; BEGIN;") && exec(db, schema)
              && loadCsv(db, regions + "/povince.csv", "povince", 2) && loadCsv(db, regions + "/city.csv", "city", 3)
              && loadCsv(db, regions + "/area.csv", "area", 3) && exec(db, "COMMIT; VACUUM;");
    sqlite3_close(db);
    ok = ok && runSteps(temp);
    if (!ok || std::rename(temp.c_str(), target.c_str()) != 0) {
        std::remove(temp.c_str());
        return 1;
    }
    return 0;
}
