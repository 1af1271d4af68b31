// The statement every search box runs: choices, trimming, upper-casing and
// the literal that no typed text can break out of.
#include "widgets/tsearchsql.h"

#include <QTest>

class TstTSearchSql : public QObject
{
    Q_OBJECT
private slots:
    void Build_data();
    void Build();
    void PrepareText_data();
    void PrepareText();
};

void TstTSearchSql::Build_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("orderBy");
    QTest::addColumn<QString>("statement");

    const QString all = QStringLiteral("select * from clientes order by nome");
    QTest::newRow("empty lists everyone by name") << "" << "clientes" << "nome" << "nome" << all;
    QTest::newRow("blanks only") << "    " << "clientes" << "cidade" << "nome" << all;
    QTest::newRow("control characters only") << "\t\r\n " << "clientes" << "end1" << "nome" << all;
    QTest::newRow("nome") << "silva" << "clientes" << "nome" << "nome"
                          << "select * from clientes where upper(nome) like \"%SILVA%\" order by nome";
    QTest::newRow("cidade, trimmed") << "  sao paulo \t" << "clientes" << "cidade" << "nome"
                                     << "select * from clientes where upper(cidade) like \"%SAO PAULO%\" order by nome";
    QTest::newRow("endereco searches the first line") << "rua" << "clientes" << "end1" << "nome"
                                                      << "select * from clientes where upper(end1) like \"%RUA%\" order by nome";
    QTest::newRow("accented letters stay as typed")
        << QStringLiteral("joão é") << "clientes" << "nome" << "nome"
        << QStringLiteral("select * from clientes where upper(nome) like \"%JOãO é%\" order by nome");
    QTest::newRow("wildcards keep working") << "a%b_c" << "clientes" << "nome" << "nome"
                                            << "select * from clientes where upper(nome) like \"%A%B_C%\" order by nome";
    QTest::newRow("double quote is doubled") << "o \"ze\"" << "clientes" << "nome" << "nome"
                                             << "select * from clientes where upper(nome) like \"%O \"\"ZE\"\"%\" order by nome";
    QTest::newRow("injection stays inside the literal")
        << "x\" or \"1\"=\"1" << "clientes" << "nome" << "nome"
        << "select * from clientes where upper(nome) like \"%X\"\" OR \"\"1\"\"=\"\"1%\" order by nome";
    QTest::newRow("statement terminator stays inside the literal")
        << "a\"; delete from clientes; --" << "clientes" << "nome" << "nome"
        << "select * from clientes where upper(nome) like \"%A\"\"; DELETE FROM CLIENTES; --%\" order by nome";
    QTest::newRow("single quote needs nothing") << "d'avila" << "clientes" << "nome" << "nome"
                                                << "select * from clientes where upper(nome) like \"%D'AVILA%\" order by nome";
    QTest::newRow("inner NUL dropped") << QString::fromUtf16(u"a\u0000b", 3) << "clientes" << "nome" << "nome"
                                       << "select * from clientes where upper(nome) like \"%AB%\" order by nome";
    QTest::newRow("suppliers by trade name") << "auto" << "fornecedores" << "nomefantasia" << "nomefantasia"
                                             << "select * from fornecedores where upper(nomefantasia) like \"%AUTO%\" order by nomefantasia";
    QTest::newRow("products, empty") << " " << "prodforne" << "nomeforne" << "descricao"
                                     << "select * from prodforne order by descricao";
}

void TstTSearchSql::Build()
{
    QFETCH(QString, typed);
    QFETCH(QString, table);
    QFETCH(QString, column);
    QFETCH(QString, orderBy);
    QFETCH(QString, statement);
    QCOMPARE(TSearchSql::Build(typed, table, column, orderBy), statement);
}

void TstTSearchSql::PrepareText_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("prepared");
    QTest::newRow("a-z only") << "abc xyz ABC 123" << "ABC XYZ ABC 123";
    QTest::newRow("non-breaking space is not trimmed") << QStringLiteral("\u00a0a\u00a0") << QStringLiteral("\u00a0A\u00a0");
    QTest::newRow("inner blanks kept") << " a  b " << "A  B";
    QTest::newRow("latin-1 lower case untouched") << QStringLiteral("çãé") << QStringLiteral("çãé");
}

void TstTSearchSql::PrepareText()
{
    QFETCH(QString, typed);
    QFETCH(QString, prepared);
    QCOMPARE(TSearchSql::PrepareText(typed), prepared);
}

QTEST_APPLESS_MAIN(TstTSearchSql)
#include "tst_tsearchsql.moc"
