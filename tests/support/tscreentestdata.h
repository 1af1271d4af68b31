#pragma once
// What the tests of every screen use on a fresh database file: statements
// run straight through the data module's scratch query, values read back
// the same way, and a look-out that acts on the modal dialog a call opens.
#include "app/tprincipalform.h"
#include "data/tdm.h"
#include "data/tfbfield.h"
#include "data/tfbquery.h"
#include "tests/support/tfbtestdb.h"
#include "tests/support/tmessagerecorder.h"
#include "tests/support/twindowbarlink.h"
#include "widgets/tbitbtn.h"
#include "widgets/tdbedit.h"
#include "widgets/teditorlook.h"
#include "widgets/trecordform.h"
#include "widgets/tsearchedit.h"
#include "widgets/tsearchlistscreen.h"

#include <QApplication>
#include <QDialog>
#include <QHeaderView>
#include <QImage>
#include <QTableView>
#include <QLabel>
#include <QLocale>
#include <QTimer>
#include <QToolBar>
#include <QtTest>
#include <functional>
#include <memory>

namespace TScreenTestData {

// The settings every screen test runs with: Brazilian formats and the
// application title that captions the message boxes.
inline void InitApplication()
{
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    QCoreApplication::setApplicationName(QStringLiteral("OS - Tarvo Vodevuru"));
}

// A fresh database file with its data module, and every message box
// recorded instead of shown, for one test.
struct TScreenDb
{
    std::unique_ptr<TFbTestDb> db;
    std::unique_ptr<TDM> dm;
    std::unique_ptr<TMessageRecorder> messages;

    // A fresh database with the data module on it; when the database could
    // not be made, `db` says why (OS_REQUIRE_TEST_DB(*db) in the test).
    void Open()
    {
        db = std::make_unique<TFbTestDb>();
        if (!db->IsValid())
            return;
        dm = db->MakeDM();
        messages = std::make_unique<TMessageRecorder>();
    }
    void Close()
    {
        messages.reset();
        dm.reset();
        db.reset();
    }
};

inline QString Quoted(QString text)
{
    return QLatin1Char('\'') + text.replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
}

inline void Exec(const QString &sql)
{
    TFbQuery *q = DM->AuxQuery;
    q->Close();
    q->SetSQL(sql);
    q->Execute();
}

inline int Count(const QString &sql)
{
    TFbQuery *q = DM->AuxQuery;
    q->Close();
    q->SetSQL(sql);
    q->Open();
    const int n = q->Field(0)->AsInteger();
    q->Close();
    return n;
}

inline QString Text(const QString &sql)
{
    TFbQuery *q = DM->AuxQuery;
    q->Close();
    q->SetSQL(sql);
    q->Open();
    const QString text = q->IsEmpty() ? QString() : q->Field(0)->AsString();
    q->Close();
    return text;
}

// Runs `act` on the modal dialog that the next call opens, once it shows.
// If `act` leaves it open (a check in it failed, or it throws), it is
// rejected so that the test never hangs. `tries` bounds the wait (10 ms
// each); a test that expects no dialog gives a few and then waits them out,
// so that no look-out outlives it. While `*watch` is true the look-out does
// not stop there: it records that the dialog is late and still closes it
// when it shows, so the call that opens it returns and the test fails at
// once instead of waiting out its time-out.
inline void OnModal(std::function<void(QDialog *)> act, int tries = 500,
                    std::shared_ptr<bool> watch = {}, bool late = false)
{
    QTimer::singleShot(10, qApp, [act = std::move(act), tries, watch = std::move(watch), late]() mutable {
        if (watch && !*watch)
            return;
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) {
            if (tries > 0) {
                OnModal(std::move(act), tries - 1, std::move(watch), late);
            } else if (watch) {
                if (!late)
                    QTest::qFail("no dialog showed in time", __FILE__, __LINE__);
                OnModal(std::move(act), 0, std::move(watch), true);
            }
            return;
        }
        if (late) {
            dialog->reject();
            return;
        }
        try {
            act(dialog);
        } catch (...) {
            QTest::qFail("the dialog's handler threw", __FILE__, __LINE__);
        }
        if (dialog->isVisible())
            dialog->reject();
    });
}

// Runs `act` on the modal dialog of type Form that `open` shows, once it is
// the active window (keys typed then reach it, as the user's do); fails
// when none of that type shows.
template <class Form>
inline void OnModalForm(const std::function<void()> &open, const std::function<void(Form *)> &act)
{
    bool shown = false;
    const auto watch = std::make_shared<bool>(true);
    OnModal(
        [&](QDialog *d) {
            shown = true;
            auto *f = qobject_cast<Form *>(d);
            QVERIFY(f);
            QVERIFY(QTest::qWaitForWindowActive(f));
            act(f);
        },
        500, watch);
    open();
    *watch = false;
    QVERIFY(shown);
}

// Whether the rectangle of the image holds a pixel of exactly this colour
// (the text colour of a grid row, painted on screen).
inline bool HasPixel(const QImage &image, const QRect &rect, const QColor &colour)
{
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (QColor(image.pixel(x, y)) == colour)
                return true;
    return false;
}

// A record form's editor of a column: the label that names it (none for an
// empty caption), open (enabled on white) or locked (disabled on grey), and
// for a text column at most the column's size in characters.
inline void CompareEditorLook(const TRecordForm &form, const QString &column, const QString &caption,
                              bool open)
{
    TDBEdit *editor = form.EditorOf(column);
    QVERIFY(editor);
    QStringList labels;
    for (QLabel *l : form.findChildren<QLabel *>())
        if (l->buddy() == editor)
            labels << l->text();
    QCOMPARE(labels, caption.isEmpty() ? QStringList() : QStringList{caption});
    QCOMPARE(editor->isEnabled(), open);
    QCOMPARE(editor->palette().color(QPalette::Disabled, QPalette::Base),
             open ? TEditorLook::White() : TEditorLook::Grey());
    const TFbField *field = form.DataSet()->FieldByName(column);
    if (field->Kind() == TFbFieldKind::String)
        QCOMPARE(editor->maxLength(), field->Size());
}

// Edit and delete on a list without a current row (a search that found
// nothing, then a list left closed): no form, no question, nothing changed.
inline void CompareNothingToEditOrDelete(TSearchListScreen *list, const TMessageRecorder &messages)
{
    list->Edit1->setText(QStringLiteral("nada disso existe"));
    list->BitBtn1->click();
    QCOMPARE(list->DataSet()->RecordCount(), 0);
    bool opened = false;
    OnModal([&](QDialog *) { opened = true; }, 3);
    list->BitBtn3->click();
    list->BitBtn4->click();
    QTest::qWait(100);
    QVERIFY(!opened);
    QCOMPARE(messages.Count(), 0);
    QCOMPARE(list->DataSet()->State(), TFbQuery::dsBrowse);

    list->DataSet()->Close();
    list->BitBtn3->click();
    list->BitBtn4->click();
    QCOMPARE(messages.Count(), 0);
}

// A list screen owned by the main window: minimising hides it and puts a
// button captioned with its caption on the window bar; maximising is left
// alone. The screen is destroyed with the main window at the end.
inline void CompareMinimiseGoesToWindowBar(TListScreen *screen)
{
    TPrincipalForm principal;
    TWindowBarLink link(&principal);
    screen->setParent(&principal, screen->windowFlags());
    screen->show();
    QVERIFY(QTest::qWaitForWindowExposed(screen));
    screen->showMinimized();
    QTRY_VERIFY(!screen->isVisible());
    QVERIFY(!screen->windowState().testFlag(Qt::WindowMinimized));
    QStringList captions;
    for (QAction *a : principal.ToolBar1->actions())
        captions << a->text();
    QCOMPARE(captions, QStringList{screen->windowTitle()});

    screen->show();
    screen->showMaximized();
    QVERIFY(screen->isVisible());
}

// A grid's column titles, joined by "|".
inline QString GridTitles(const QTableView *grid)
{
    QStringList titles;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        titles << grid->model()->headerData(c, Qt::Horizontal).toString();
    return titles.join(QLatin1Char('|'));
}

// What every list grid is: display-only, whole rows, no row indicator.
inline void CompareListGridLook(const QTableView *grid)
{
    QCOMPARE(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(grid->selectionBehavior(), QAbstractItemView::SelectRows);
    QVERIFY(!grid->verticalHeader()->isVisible());
}

// Ctrl+Delete in the grid of a shown screen deletes nothing: no message,
// the dataset still browsing all its rows, the table's rows all stored.
inline void CompareCtrlDeleteDoesNothing(QWidget *screen, QTableView *grid, TFbQuery *query,
                                         const QString &table, const TMessageRecorder &messages)
{
    const int rows = query->RecordCount();
    const int stored = Count(QStringLiteral("select count(*) from ") + table);
    screen->show();
    QVERIFY(QTest::qWaitForWindowExposed(screen));
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(messages.Count(), 0);
    QCOMPARE(query->RecordCount(), rows);
    QCOMPARE(query->State(), TFbQuery::dsBrowse);
    QCOMPARE(Count(QStringLiteral("select count(*) from ") + table), stored);
}

} // namespace TScreenTestData
