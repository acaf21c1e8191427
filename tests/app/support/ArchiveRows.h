// Reading a results archive in tests, beside the program's own connection.
#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>
#include <QVariant>
#include <gtest/gtest.h>

#include <vector>

namespace verdan::test {

/// Every row of `sql` in the archive at `path`, read through a connection of its own.
inline std::vector<QVariantList> archiveRows(const QString& path, const QString& sql) {
    const QString name = QStringLiteral("reader-") + QUuid::createUuid().toString(QUuid::Id128);
    std::vector<QVariantList> result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        EXPECT_TRUE(db.open());
        QSqlQuery query(db);
        EXPECT_TRUE(query.exec(sql))
            << sql.toStdString() << ": " << query.lastError().text().toStdString();
        while (query.next()) {
            QVariantList values;
            for (int c = 0; c < query.record().count(); ++c)
                values << query.value(c);
            result.push_back(values);
        }
    }
    QSqlDatabase::removeDatabase(name);
    return result;
}

} // namespace verdan::test
