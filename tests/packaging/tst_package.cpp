// The Debian package made from this build tree: what it holds, what it
// declares, that dpkg installs and removes it cleanly in a throwaway root,
// and that lintian finds no error in it. Needs root (files owned by root,
// dpkg --root) and dpkg-deb; lintian only for its own check.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <unistd.h>

namespace {

struct TRun
{
    int code = -1;
    QString out, err;
};

TRun Run(const QString &program, const QStringList &args, int timeoutMs = 240000)
{
    QProcess p;
    p.start(program, args);
    TRun r;
    if (!p.waitForStarted(10000)) {
        r.err = p.errorString();
        return r;
    }
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(5000);
        r.err = QStringLiteral("did not end in time");
        return r;
    }
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// "Key=Value" lines of the [Desktop Entry] group.
QMap<QString, QString> DesktopEntry(const QString &path)
{
    QMap<QString, QString> entry;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return entry;
    bool inGroup = false;
    for (const QString &line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('[')))
            inGroup = line == QLatin1String("[Desktop Entry]");
        else if (inGroup && line.contains(QLatin1Char('=')))
            entry.insert(line.section(QLatin1Char('='), 0, 0).trimmed(), line.section(QLatin1Char('='), 1));
    }
    return entry;
}

} // namespace

class TstPackage : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void holdsTheProgramsAndTheMenuEntry_data();
    void holdsTheProgramsAndTheMenuEntry();
    void holdsNothingOfTheBuild();
    void controlFields();
    void menuEntry();
    void installsRunsAndRemovesInAThrowawayRoot();
    void versionMovesOnWithTheChangelog();
    void upgradeOverThePreviousReleaseInstallsTheNewOne();
    void packageStopsWithoutShlibdeps();
    void lintianFindsNoError();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    // The versions of the changelog's entries, newest first.
    static QStringList ChangelogVersions();
    // A fresh dpkg root; its --root option.
    static QString MakeDpkgRoot(const QTemporaryDir &root);
    QString m_deb;
    QStringList m_files;   // paths in the package, without the leading "./"
};

void TstPackage::initTestCase()
{
    if (::geteuid() != 0)
        QSKIP("building and installing the package needs root (files owned by root, dpkg --root)");
    if (QStandardPaths::findExecutable(QStringLiteral("dpkg-deb")).isEmpty())
        QSKIP("dpkg-deb is missing (package dpkg)");
    if (QStandardPaths::findExecutable(QStringLiteral("dpkg-shlibdeps")).isEmpty())
        QSKIP("dpkg-shlibdeps is missing (package dpkg-dev)");
    const QString build = qEnvironmentVariable("OS_TEST_BINARY_DIR");
    QVERIFY(QFileInfo::exists(build + QStringLiteral("/CPackConfig.cmake")));

    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    const TRun cpack = Run(QStringLiteral(OS_CPACK_COMMAND),
                           {QStringLiteral("--config"), build + QStringLiteral("/CPackConfig.cmake"),
                            QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("-B"), m_dir->path()});
    QVERIFY2(cpack.code == 0, qPrintable(cpack.out + cpack.err));
    const QStringList debs = QDir(m_dir->path()).entryList({QStringLiteral("ordemservico_*.deb")}, QDir::Files);
    QCOMPARE(debs.size(), 1);
    m_deb = m_dir->filePath(debs.first());
    const QString arch = Run(QStringLiteral("dpkg"), {QStringLiteral("--print-architecture")}).out.trimmed();
    QCOMPARE(debs.first(), QStringLiteral("ordemservico_%1_%2.deb").arg(QStringLiteral(OS_PROJECT_VERSION), arch));

    const TRun list = Run(QStringLiteral("dpkg-deb"), {QStringLiteral("--contents"), m_deb});
    QVERIFY2(list.code == 0, qPrintable(list.err));
    for (const QString &line : list.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        // "-rwxr-xr-x root/root 1264384 2026-12-10 12:55 ./usr/bin/ordemservico"
        const QStringList cols = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QVERIFY2(cols.size() >= 6, qPrintable(line));
        QVERIFY2(cols[1] == QLatin1String("root/root"), qPrintable(line));
        QString path = cols.mid(5).join(QLatin1Char(' '));
        if (path.startsWith(QLatin1String("./")))
            path = path.mid(2);
        if (!path.endsWith(QLatin1Char('/'))) {
            m_files << path;
            const bool program = path.startsWith(QLatin1String("usr/bin/"));
            QVERIFY2(cols[0] == (program ? QLatin1String("-rwxr-xr-x") : QLatin1String("-rw-r--r--")),
                     qPrintable(line));
        } else {
            QVERIFY2(cols[0] == QLatin1String("drwxr-xr-x"), qPrintable(line));
        }
    }
}

void TstPackage::holdsTheProgramsAndTheMenuEntry_data()
{
    QTest::addColumn<QString>("path");
    for (const char *path : {"usr/bin/ordemservico", "usr/bin/os-createdb", "usr/bin/os-demodata",
                             "usr/share/applications/ordemservico.desktop",
                             "usr/share/icons/hicolor/16x16/apps/ordemservico.png",
                             "usr/share/icons/hicolor/48x48/apps/ordemservico.png",
                             "usr/share/icons/hicolor/256x256/apps/ordemservico.png",
                             "usr/share/doc/ordemservico/copyright", "usr/share/doc/ordemservico/changelog.gz",
                             "usr/share/man/man1/ordemservico.1.gz"})
        QTest::newRow(path) << QString::fromLatin1(path);
}

void TstPackage::holdsTheProgramsAndTheMenuEntry()
{
    QFETCH(QString, path);
    QVERIFY2(m_files.contains(path), qPrintable(m_files.join(QLatin1Char('\n'))));
}

void TstPackage::holdsNothingOfTheBuild()
{
    // Only the three programs are executables, and nothing of the build
    // (tests, benchmarks, their libraries, headers) is shipped.
    const QRegularExpression build(QStringLiteral("(^|/)(tst_|bench_|fuzz_)|\\.(a|so|h|cmake)$|^usr/(include|lib|local)/"));
    for (const QString &path : m_files) {
        QVERIFY2(path.startsWith(QLatin1String("usr/")), qPrintable(path));
        QVERIFY2(!build.match(path).hasMatch(), qPrintable(path));
    }
    const QStringList programs = m_files.filter(QRegularExpression(QStringLiteral("^usr/bin/")));
    QCOMPARE(programs, (QStringList{QStringLiteral("usr/bin/ordemservico"), QStringLiteral("usr/bin/os-createdb"),
                                    QStringLiteral("usr/bin/os-demodata")}));
}

void TstPackage::controlFields()
{
    const TRun fields = Run(QStringLiteral("dpkg-deb"), {QStringLiteral("--field"), m_deb, QStringLiteral("Package"),
                                                         QStringLiteral("Version"), QStringLiteral("Depends"),
                                                         QStringLiteral("Maintainer"), QStringLiteral("Description")});
    QVERIFY2(fields.code == 0, qPrintable(fields.err));
    QVERIFY2(fields.out.contains(QStringLiteral("Package: ordemservico\n")), qPrintable(fields.out));
    QVERIFY2(fields.out.contains(QStringLiteral("Version: %1\n").arg(QStringLiteral(OS_PROJECT_VERSION))),
             qPrintable(fields.out));
    QVERIFY2(fields.out.contains(QRegularExpression(QStringLiteral("^Maintainer: .+ <.+@.+>$"),
                                                    QRegularExpression::MultilineOption)),
             qPrintable(fields.out));
    QVERIFY2(fields.out.contains(QRegularExpression(QStringLiteral("^Description: \\S.*\\n \\S"),
                                                    QRegularExpression::MultilineOption)),
             qPrintable(fields.out));

    const QRegularExpression depends(QStringLiteral("^Depends: (.*)$"), QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = depends.match(fields.out);
    QVERIFY2(m.hasMatch(), qPrintable(fields.out));
    QStringList names;
    for (const QString &item : m.captured(1).split(QLatin1Char(',')))
        names << item.trimmed().section(QLatin1Char(' '), 0, 0);
    // Loaded at run time (client library, embedded engine, fonts) or linked.
    for (const char *name : {"libfbclient2", "firebird3.0-server-core", "qt6-translations-l10n", "fonts-liberation",
                             "fonts-dejavu-core",
                             "libqt6core6", "libqt6gui6", "libqt6widgets6"})
        QVERIFY2(names.contains(QLatin1String(name)), qPrintable(name + (": " + m.captured(1))));
}

void TstPackage::menuEntry()
{
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const TRun extract = Run(QStringLiteral("dpkg-deb"), {QStringLiteral("--extract"), m_deb, root.path()});
    QVERIFY2(extract.code == 0, qPrintable(extract.err));
    const auto entry = DesktopEntry(root.filePath(QStringLiteral("usr/share/applications/ordemservico.desktop")));
    QCOMPARE(entry.value(QStringLiteral("Type")), QStringLiteral("Application"));
    QCOMPARE(entry.value(QStringLiteral("Name")), QStringLiteral("Ordem de Serviço"));
    QVERIFY(!entry.value(QStringLiteral("Comment[pt_BR]")).isEmpty());
    QVERIFY(entry.value(QStringLiteral("Categories")).split(QLatin1Char(';')).contains(QStringLiteral("Office")));
    // It starts the packaged program and shows the packaged icon.
    QVERIFY(QFileInfo(root.filePath(QStringLiteral("usr/bin/") + entry.value(QStringLiteral("Exec")))).isExecutable());
    const QString icon = entry.value(QStringLiteral("Icon"));
    QVERIFY(!icon.isEmpty());
    QImage png(root.filePath(QStringLiteral("usr/share/icons/hicolor/48x48/apps/%1.png").arg(icon)));
    QCOMPARE(png.size(), QSize(48, 48));
}

void TstPackage::installsRunsAndRemovesInAThrowawayRoot()
{
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString admin = root.filePath(QStringLiteral("var/lib/dpkg"));
    for (const char *sub : {"info", "updates", "triggers"})
        QVERIFY(QDir().mkpath(admin + QLatin1Char('/') + QLatin1String(sub)));
    QFile status(admin + QStringLiteral("/status"));
    QVERIFY(status.open(QIODevice::WriteOnly));
    status.close();
    const QString rootOption = QStringLiteral("--root=") + root.path();

    // The root is empty: its dependencies are the host's.
    const TRun install = Run(QStringLiteral("dpkg"), {rootOption, QStringLiteral("--force-depends"),
                                                      QStringLiteral("--install"), m_deb});
    QVERIFY2(install.code == 0, qPrintable(install.out + install.err));
    const TRun state = Run(QStringLiteral("dpkg-query"), {rootOption, QStringLiteral("--show"),
                                                          QStringLiteral("--showformat=${Status}"),
                                                          QStringLiteral("ordemservico")});
    QCOMPARE(state.out, QStringLiteral("install ok installed"));

    // The installed programs run: the version, and a database made by the
    // installed os-createdb.
    const TRun version = Run(root.filePath(QStringLiteral("usr/bin/ordemservico")), {QStringLiteral("--version")});
    QCOMPARE(version.code, 0);
    QCOMPARE(version.out, QStringLiteral("ordemservico %1\n").arg(QStringLiteral(OS_PROJECT_VERSION)));
    QTemporaryDir data;
    const QString db = data.filePath(QStringLiteral("DADOS.GDB"));
    const TRun create = Run(root.filePath(QStringLiteral("usr/bin/os-createdb")), {db});
    QVERIFY2(create.code == 0, qPrintable(create.out + create.err));
    QVERIFY(QFileInfo(db).size() > 0);

    const TRun purge = Run(QStringLiteral("dpkg"), {rootOption, QStringLiteral("--purge"), QStringLiteral("ordemservico")});
    QVERIFY2(purge.code == 0, qPrintable(purge.out + purge.err));
    // Nothing of it is left outside dpkg's own records.
    QStringList left;
    QDirIterator it(root.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!path.startsWith(admin))
            left << path;
    }
    QCOMPARE(left, QStringList{});
}

QStringList TstPackage::ChangelogVersions()
{
    QFile f(qEnvironmentVariable("OS_TEST_BINARY_DIR") + QStringLiteral("/packaging/changelog"));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList versions;
    static const QRegularExpression entry(QStringLiteral("^ordemservico \\(([^)]+)\\) "),
                                          QRegularExpression::MultilineOption);
    for (auto it = entry.globalMatch(QString::fromUtf8(f.readAll())); it.hasNext();)
        versions << it.next().captured(1);
    return versions;
}

QString TstPackage::MakeDpkgRoot(const QTemporaryDir &root)
{
    const QString admin = root.filePath(QStringLiteral("var/lib/dpkg"));
    for (const char *sub : {"info", "updates", "triggers"})
        QDir().mkpath(admin + QLatin1Char('/') + QLatin1String(sub));
    QFile status(admin + QStringLiteral("/status"));
    if (status.open(QIODevice::WriteOnly))
        status.close();
    return QStringLiteral("--root=") + root.path();
}

// The version stayed 1.5 release after release: the package is the
// changelog's newest entry, above the one before it.
void TstPackage::versionMovesOnWithTheChangelog()
{
    const QStringList versions = ChangelogVersions();
    QVERIFY2(versions.size() >= 2, qPrintable(versions.join(QLatin1Char(' '))));
    QCOMPARE(versions.first(), QStringLiteral(OS_PROJECT_VERSION));
    for (int i = 1; i < versions.size(); ++i) {
        const TRun newer = Run(QStringLiteral("dpkg"), {QStringLiteral("--compare-versions"), versions[i - 1],
                                                       QStringLiteral("gt"), versions[i]});
        QVERIFY2(newer.code == 0, qPrintable(versions[i - 1] + QStringLiteral(" <= ") + versions[i]));
    }
}

// Installing the new package over the old one said "already the newest
// version" and installed nothing.
void TstPackage::upgradeOverThePreviousReleaseInstallsTheNewOne()
{
    const QStringList versions = ChangelogVersions();
    QVERIFY(versions.size() >= 2);
    const QString previous = versions[1];
    // The package of the previous release, made from this tree under its number.
    QTemporaryDir old;
    const QString build = qEnvironmentVariable("OS_TEST_BINARY_DIR");
    const TRun cpack = Run(QStringLiteral(OS_CPACK_COMMAND),
                           {QStringLiteral("--config"), build + QStringLiteral("/CPackConfig.cmake"),
                            QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("-B"), old.path(),
                            QStringLiteral("-D"), QStringLiteral("CPACK_PACKAGE_VERSION=") + previous});
    QVERIFY2(cpack.code == 0, qPrintable(cpack.out + cpack.err));
    const QStringList debs = QDir(old.path()).entryList({QStringLiteral("ordemservico_*.deb")}, QDir::Files);
    QCOMPARE(debs.size(), 1);

    QTemporaryDir root;
    const QString rootOption = MakeDpkgRoot(root);
    auto installed = [&] {
        return Run(QStringLiteral("dpkg-query"), {rootOption, QStringLiteral("--show"),
                                                  QStringLiteral("--showformat=${Status} ${Version}"),
                                                  QStringLiteral("ordemservico")}).out;
    };
    TRun install = Run(QStringLiteral("dpkg"), {rootOption, QStringLiteral("--force-depends"), QStringLiteral("--install"),
                                                old.filePath(debs.first())});
    QVERIFY2(install.code == 0, qPrintable(install.out + install.err));
    QCOMPARE(installed(), QStringLiteral("install ok installed ") + previous);
    install = Run(QStringLiteral("dpkg"), {rootOption, QStringLiteral("--force-depends"), QStringLiteral("--install"),
                                           m_deb});
    QVERIFY2(install.code == 0, qPrintable(install.out + install.err));
    QVERIFY2(install.out.contains(QStringLiteral("(%1) over (%2)").arg(QStringLiteral(OS_PROJECT_VERSION), previous)),
             qPrintable(install.out));
    QCOMPARE(installed(), QStringLiteral("install ok installed ") + QStringLiteral(OS_PROJECT_VERSION));
    const TRun version = Run(root.filePath(QStringLiteral("usr/bin/ordemservico")), {QStringLiteral("--version")});
    QCOMPARE(version.out, QStringLiteral("ordemservico %1\n").arg(QStringLiteral(OS_PROJECT_VERSION)));
}

// Made where dpkg-shlibdeps was missing, the package silently lacked its Qt
// and C library dependencies.
void TstPackage::packageStopsWithoutShlibdeps()
{
    QTemporaryDir out;
    // A search path that holds every program but dpkg-shlibdeps.
    QTemporaryDir bin;
    for (const QString &dir : qEnvironmentVariable("PATH").split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        for (const QFileInfo &program : QDir(dir).entryInfoList(QDir::Files | QDir::Executable)) {
            if (program.fileName() != QLatin1String("dpkg-shlibdeps"))
                QFile::link(program.absoluteFilePath(), bin.filePath(program.fileName()));
        }
    }
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PATH"), bin.path());
    p.setProcessEnvironment(env);
    const QString build = qEnvironmentVariable("OS_TEST_BINARY_DIR");
    p.start(QStringLiteral(OS_CPACK_COMMAND), {QStringLiteral("--config"), build + QStringLiteral("/CPackConfig.cmake"),
                                               QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("-B"),
                                               out.path()});
    QVERIFY(p.waitForFinished(240000));
    const QString said = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
    QVERIFY2(p.exitCode() != 0, qPrintable(said));
    QVERIFY2(said.contains(QStringLiteral("dpkg-shlibdeps não foi encontrado")), qPrintable(said));
    QCOMPARE(QDir(out.path()).entryList({QStringLiteral("*.deb")}, QDir::Files), QStringList());
}

void TstPackage::lintianFindsNoError()
{
    if (QStandardPaths::findExecutable(QStringLiteral("lintian")).isEmpty())
        QSKIP("lintian is not installed (package lintian)");
    const TRun lintian = Run(QStringLiteral("lintian"), {QStringLiteral("--fail-on"), QStringLiteral("error"), m_deb});
    QVERIFY2(lintian.code == 0, qPrintable(lintian.out + lintian.err));
    QVERIFY2(!lintian.out.contains(QRegularExpression(QStringLiteral("^E: "), QRegularExpression::MultilineOption)),
             qPrintable(lintian.out));
}

QTEST_MAIN(TstPackage)
#include "tst_package.moc"
