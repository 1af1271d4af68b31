#pragma once
// For tests of the shared-database path: the private Firebird server that
// scripts/test-setup.d/10-firebird-server.sh started for the run
// (OS_SERVICES_DIR, OS_FB_SERVER), stopped as a power cut on the server
// computer stops it, and started again on the same port.
//
//   if (const QString why = TFbServerControl::Missing(); !why.isEmpty())
//       QSKIP(qPrintable(why));
//   QVERIFY(TFbServerControl::Stop());
//   ...
//   QVERIFY(TFbServerControl::Start());
//   QVERIFY(TFbServerControl::WaitUntilAnswering(databaseName));
#include <QString>

class TFbServerControl
{
public:
    // Why the server cannot be stopped and started here; empty when it can.
    static QString Missing();
    // Kills the server's whole session and waits until it is gone.
    static bool Stop();
    // Starts it again from its own root (same configuration and port); the
    // run's end finds it in the same process id file to stop it.
    static bool Start();
    // Until an attachment to `database` succeeds (bounded); a child process
    // attaches.
    static bool WaitUntilAnswering(const QString &database);
};
