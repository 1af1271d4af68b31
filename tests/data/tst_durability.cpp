#include <QtTest>
class X : public QObject { Q_OBJECT private slots: void todo() { QSKIP("pending"); } };
QTEST_MAIN(X)
#include "tst_durability.moc"
