#include "tests/support/tlayerrules.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

TLayerRules TreeRules()
{
    QFile file(QStringLiteral(OS_SOURCE_DIR "/cmake/layers.rules"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString error;
    return TLayerRules::Parse(QString::fromUtf8(file.readAll()), &error);
}

void Write(const QString &path, const QByteArray &text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

} // namespace

class TstLayers : public QObject
{
    Q_OBJECT

private slots:
    void treeKeepsItsLayers();
    void rules_data();
    void rules();
    void badRuleLinesAreRefused_data();
    void badRuleLinesAreRefused();
    void bareIncludeIsRefused();
};

// The real tree against the real rules: every refusal is listed at once.
void TstLayers::treeKeepsItsLayers()
{
    const TLayerRules rules = TreeRules();
    QVERIFY2(!rules.IsEmpty(), "cmake/layers.rules is missing or unreadable");
    const QStringList refusals = rules.Check(QStringLiteral(OS_SOURCE_DIR));
    QVERIFY2(refusals.isEmpty(), qPrintable(u'\n' + refusals.join(u'\n')));
}

void TstLayers::rules_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("header");
    QTest::addColumn<bool>("allowed");

    QTest::newRow("own folder") << "report/page" << "report/page/trepcanvas.h" << true;
    QTest::newRow("engine into the shop") << "report/generate" << "data/tfbquery.h" << false;
    QTest::newRow("engine downwards") << "report/generate" << "report/model/trepreport.h" << true;
    QTest::newRow("printing into generation") << "report/print" << "report/generate/trepgenerator.h" << false;
    QTest::newRow("data into widgets") << "data" << "widgets/tdbgrid.h" << false;
    QTest::newRow("widgets into the main window") << "widgets" << "app/tprincipalform.h" << false;
    QTest::newRow("widgets to the message boxes") << "widgets" << "app/tmessages.h" << true;
    QTest::newRow("screen into another screen") << "orders" << "clients/tclientesform2.h" << false;
    QTest::newRow("screen into the shared bases") << "orders" << "widgets/tdbgrid.h" << true;
    QTest::newRow("sub-folder without a rule of its own") << "clients/extra" << "data/tdm.h" << true;
    QTest::newRow("program into the tests") << "stock" << "tests/support/tfbtestdb.h" << false;
    QTest::newRow("test into anything") << "tests/stock" << "stock/tprodform.h" << true;
    QTest::newRow("private header from its own folder") << "data" << "data/tfbquery_p.h" << true;
    QTest::newRow("private header from elsewhere") << "widgets" << "data/tfbquery_p.h" << false;
    QTest::newRow("private header from its test") << "tests/data" << "data/tfbquery_p.h" << true;
    QTest::newRow("folder under no rule") << "newthing" << "data/tdm.h" << false;
    QTest::newRow("tree rule reaches sub-folders") << "fuzz" << "report/store/trepstream.h" << true;
}

void TstLayers::rules()
{
    QFETCH(QString, folder);
    QFETCH(QString, header);
    QFETCH(bool, allowed);
    const TLayerRules rules = TreeRules();
    QVERIFY(!rules.IsEmpty());
    QString why;
    QCOMPARE(rules.Allows(folder, header, &why), allowed);
    QCOMPARE(why.isEmpty(), allowed);
}

void TstLayers::badRuleLinesAreRefused_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("no colon") << "data app";
    QTest::newRow("no folder") << ": data";
    QTest::newRow("twice") << "app: data\napp: widgets";
}

void TstLayers::badRuleLinesAreRefused()
{
    QFETCH(QString, text);
    QString error;
    QVERIFY(TLayerRules::Parse(text, &error).IsEmpty());
    QVERIFY(error.startsWith(u"line "));
}

// An include by bare name hides the layer it reaches into; so does one that
// names no file of the tree.
void TstLayers::bareIncludeIsRefused()
{
    QTemporaryDir root;
    QVERIFY(root.isValid());
    QVERIFY(QDir(root.path()).mkpath(QStringLiteral("data")));
    QVERIFY(QDir(root.path()).mkpath(QStringLiteral("app")));
    Write(root.filePath(QStringLiteral("data/a.h")), "#pragma once\n");
    Write(root.filePath(QStringLiteral("app/b.cpp")),
          "#include \"a.h\"\n#include \"data/a.h\"\n#include \"b.moc\"\n");
    QString error;
    const TLayerRules rules = TLayerRules::Parse(QStringLiteral("data:\napp: data\n"), &error);
    QVERIFY2(!rules.IsEmpty(), qPrintable(error));
    const QStringList refusals = rules.Check(root.path());
    QCOMPARE(refusals.size(), 1);
    QVERIFY(refusals.first().startsWith(u"app/b.cpp: includes a.h"));
}

QTEST_GUILESS_MAIN(TstLayers)
#include "tst_layers.moc"
