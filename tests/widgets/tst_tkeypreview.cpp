// A window previewing keys: before the focused control, without consuming
// them, once per key, only in its own window.
#include "widgets/tkeypreview.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QtTest>

namespace {
// Counts the key presses a widget itself receives.
// (QTest presses the modifier keys as keys of their own: those do not count.)
class TKeyCounter : public QObject
{
public:
    int presses = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(e)->key();
            if (key != Qt::Key_Shift && key != Qt::Key_Control && key != Qt::Key_Alt)
                ++presses;
        }
        return false;
    }
};
} // namespace

class TstTKeyPreview : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void actsBeforeControlWithoutConsuming();
    void ignoredKeyActsOnce();
    void keypadKeysAreTheirOwn();
    void handlerMayConsume();
    void otherWindowsKeysAreNotSeen();
    void actionClosingTheWindowIsSafe();

private:
    QWidget *m_window = nullptr;
    QLineEdit *m_edit = nullptr;
    TKeyPreview *m_preview = nullptr;
};

void TstTKeyPreview::init()
{
    m_window = new QWidget;
    m_window->setAttribute(Qt::WA_DeleteOnClose);
    m_edit = new QLineEdit(m_window);
    auto *layout = new QVBoxLayout(m_window);
    layout->addWidget(m_edit);
    m_preview = new TKeyPreview(m_window);
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    m_edit->setFocus();
}

void TstTKeyPreview::cleanup()
{
    delete m_window;
}

void TstTKeyPreview::actsBeforeControlWithoutConsuming()
{
    TKeyCounter counter;
    m_edit->installEventFilter(&counter);
    int seenBefore = -1;
    m_preview->Bind(Qt::Key_F1, [&] { seenBefore = counter.presses; });
    QTest::keyClick(m_edit, Qt::Key_F1, Qt::ShiftModifier);
    QCOMPARE(seenBefore, 0);
    QCOMPARE(counter.presses, 1);

    // Esc reaches the line edit too, and a typed letter is typed.
    int esc = 0;
    m_preview->Bind(Qt::Key_Escape, [&] { ++esc; });
    QTest::keyClick(m_edit, Qt::Key_Escape);
    QTest::keyClicks(m_edit, QStringLiteral("ab"));
    QCOMPARE(esc, 1);
    QCOMPARE(m_edit->text(), QStringLiteral("ab"));
}

void TstTKeyPreview::ignoredKeyActsOnce()
{
    // The line edit ignores F5: the key travels up to the window, passing
    // the preview again; the action must run once only, also when it moves
    // the focus (as a modal form does).
    int count = 0;
    QLineEdit *other = new QLineEdit(m_window);
    m_window->layout()->addWidget(other);
    m_preview->Bind(Qt::Key_F5, [&] {
        ++count;
        other->setFocus();
        m_window->setFocus();
    });
    QTest::keyClick(m_edit, Qt::Key_F5);
    QCOMPARE(count, 1);
    m_edit->setFocus();
    QTest::keyClick(m_edit, Qt::Key_F5);
    QCOMPARE(count, 2);
}

void TstTKeyPreview::keypadKeysAreTheirOwn()
{
    int plus = 0, minus = 0;
    m_preview->Bind(Qt::Key_Plus, [&] { ++plus; }, TKeyPreview::KeypadKey);
    m_preview->Bind(Qt::Key_Minus, [&] { ++minus; }, TKeyPreview::KeypadKey);
    QTest::keyClick(m_edit, Qt::Key_Plus, Qt::KeypadModifier);
    QTest::keyClick(m_edit, Qt::Key_Minus, Qt::KeypadModifier);
    QTest::keyClick(m_edit, Qt::Key_Plus);
    QTest::keyClick(m_edit, Qt::Key_Minus);
    QCOMPARE(plus, 1);
    QCOMPARE(minus, 1);
}

void TstTKeyPreview::handlerMayConsume()
{
    m_preview->SetHandler([](QKeyEvent *e) { return e->key() == Qt::Key_X; });
    QTest::keyClicks(m_edit, QStringLiteral("axb"));
    QCOMPARE(m_edit->text(), QStringLiteral("ab"));
}

void TstTKeyPreview::otherWindowsKeysAreNotSeen()
{
    int count = 0;
    m_preview->Bind(Qt::Key_F2, [&] { ++count; });
    QDialog dialog(m_window);
    QLineEdit *edit = new QLineEdit(&dialog);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_F2);
    QCOMPARE(count, 0);
}

void TstTKeyPreview::actionClosingTheWindowIsSafe()
{
    QPointer<QWidget> window = m_window;
    m_preview->Bind(Qt::Key_Escape, [&] { window->close(); });
    QTest::keyClick(m_edit, Qt::Key_Escape);
    QTRY_VERIFY(window.isNull());
    m_window = nullptr;
}

QTEST_MAIN(TstTKeyPreview)
#include "tst_tkeypreview.moc"
