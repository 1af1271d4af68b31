#pragma once
// For tests of every folder: a fresh database file (the six tables and the
// CONFIG row 1, as os-createdb makes it) in a temporary folder that goes
// away with the object, and a data module opened on it.
//
//   TFbTestDb db;                         // <tmp>/OS - Tarvo Vodevuru/DADOS.GDB
//   auto dm = db.MakeDM();                // TDM on that file, OpenAll() done;
//                                         // the global DM points to it
//   db.SetHome();                         // HOME=<tmp> until db is destroyed,
//                                         // so TDM's default path is this file
//
// The embedded engine lets one process at a time open a file: destroy the
// TDM (or DM->CloseAll()) before another process opens the same file.
// Creating the schema is done once per process; each TFbTestDb copies it.
#include "data/tdm.h"
#include <QString>
#include <QTemporaryDir>
#include <memory>

class TFbTestDb
{
public:
    TFbTestDb();
    ~TFbTestDb();
    TFbTestDb(const TFbTestDb &) = delete;
    TFbTestDb &operator=(const TFbTestDb &) = delete;

    bool IsValid() const { return m_ok; }
    // The database engine (the client library) could not be loaded: the
    // one reason a test may give up on its database instead of failing.
    bool EngineMissing() const { return m_engineMissing; }
    QString Error() const { return m_error; }
    QString Dir() const { return m_dir.path(); }
    QString Path() const { return m_path; }
    // Points HOME at Dir() (restored by the destructor).
    void SetHome();
    // A data module on Path(); opened with OpenAll() when `open` is true.
    std::unique_ptr<TDM> MakeDM(bool open = true) const;

private:
    QTemporaryDir m_dir;
    QString m_path;
    QByteArray m_oldHome;
    bool m_homeSet = false;
    bool m_ok = false;
    bool m_engineMissing = false;
    QString m_error;
};

// The one rule for a test database in every test (use it in a Qt Test
// function right after making the TFbTestDb): without the database engine
// the test is skipped with the reason, which the test run reports as a skip
// and CI as a failure; any other failure to make the database fails the
// test.
#define OS_REQUIRE_TEST_DB(db)                                                                    \
    do {                                                                                          \
        if (!(db).IsValid()) {                                                                    \
            if ((db).EngineMissing())                                                             \
                QSKIP(qPrintable((db).Error()));                                                  \
            QFAIL(qPrintable((db).Error()));                                                      \
        }                                                                                         \
    } while (false)
