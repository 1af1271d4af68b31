// The preview window on real page stores: zoom, navigation, go to page,
// find, progress, save, export and load, closing during generation, and
// one preview at a time. No dialog ever blocks: the window asks through
// its dialog hooks, which the tests answer.

#include "tests/support/recordingfilter.h"

#include "report/generate/trepexportfilterlibrary.h"
#include "report/generate/trepgenerator.h"
#include "report/model/trepband.h"
#include "report/model/trepdbtext.h"
#include "report/model/treplabel.h"
#include "report/model/trepreport.h"
#include "report/preview/treppreview.h"
#include "report/preview/treppreviewimage.h"
#include "report/preview/trepstandardpreview.h"
#include "report/preview/trepthumbgrid.h"
#include "report/preview/tsearchdlg.h"
#include "report/print/trepnotifyevent.h"
#include "report/print/trepprinter.h"
#include "tests/support/trepmemorydataset.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QFile>
#include <QFileDialog>
#include <QDir>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPaintEvent>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

// A report on A4 Plus with one page per record: the detail band holds a
// fixed label and the record's text.
struct PagedReport
{
    TRepReport report;
    TRepMemoryDataSet ds;
    TRepBand *detail;

    explicit PagedReport(const QStringList &texts)
    {
        report.ShowProgress = false;
        report.ReportTitle = QStringLiteral("Ordem de Serviço");
        report.Page().SetPaperSize(TRepPaperSize::A4Plus);
        report.Page().SetValues({100, 3300, 100, 2100, 100, 100, 0});
        detail = report.AddBand(rbDetail, QStringLiteral("Detail"));
        detail->Size().SetNativeValue(TRepBandSize::HeightIndex, 2500);
        auto *label = new TRepLabel;
        detail->InsertElement(label);
        label->Size().SetValues({45, 100, 50, 300});
        label->SetCaption(QStringLiteral("Relatório de teste"));
        auto *text = new TRepDBText;
        detail->InsertElement(text);
        text->Size().SetValues({45, 100, 200, 300});
        text->SetDataField(QStringLiteral("T"));
        text->DataSet = &ds;
        ds.AddField(QStringLiteral("T"), TRepFieldKind::String);
        for (const QString &t : texts)
            ds.AppendRow({t});
        report.DataSet = &ds;
    }
    static QStringList Numbered(int n)
    {
        QStringList out;
        for (int i = 1; i <= n; ++i)
            out << QStringLiteral("Linha %1").arg(i);
        return out;
    }
    TRepGenerator *Gen() { return TRepGenerator::Of(&report); }
    // Generates into the preview store without a window; the store stays.
    TRepPrinter *Generate()
    {
        const auto factory = TRepGenerator::PreviewWindowFactory;
        TRepGenerator::PreviewWindowFactory = nullptr;
        Gen()->ShowPreview();
        TRepGenerator::PreviewWindowFactory = factory;
        return Gen()->PreviewStore();
    }
};

// Answers for the window's dialogs, and what it said.
struct Answers
{
    QStringList messages;
    QString input;
    QString searchText;
    bool matchCase = false;
    bool search = true;
    QString saveFile;
    int saveIndex = 0;
    QStringList saveFilters;
    QString openFile;
    QString inputCaption, inputPrompt, inputPreset;

    void Install()
    {
        auto &d = TRepStandardPreview::Dialogs();
        d.ShowMessage = [this](const QString &t) { messages << t; };
        d.InputBox = [this](QWidget *, const QString &caption, const QString &prompt, const QString &preset) {
            inputCaption = caption;
            inputPrompt = prompt;
            inputPreset = preset;
            return input;
        };
        d.ExecSearch = [this](TSearchDlg &dlg) {
            dlg.SearchEdit->setText(searchText);
            dlg.MatchCaseBox->setChecked(matchCase);
            return search;
        };
        d.SaveFileName = [this](QWidget *, const QString &, const QString &, const QStringList &filters, int &index) {
            saveFilters = filters;
            index = saveIndex;
            return saveFile;
        };
        d.OpenFileName = [this](QWidget *, const QString &, const QStringList &) { return openFile; };
    }
};

QStringList Lines(const QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

} // namespace

class TstTRepStandardPreview : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        TRepPrinter::SetLoadedFileFlag(false);
        m_answers = Answers();
        m_answers.Install();
    }
    void cleanup()
    {
        TRepStandardPreview::ResetDialogs();
        TRepGenerator::PreviewWindowFactory = nullptr;
        TRepPrinter::SetLoadedFileFlag(false);
    }

    void englishTooltipsAndTabs_data();
    void englishTooltipsAndTabs();
    void configuredFromTheReport();
    void zoomModes_data();
    void zoomModes();
    void imageSizeFollowsTheZoom();
    void navigationKeys_data();
    void navigationKeys();
    void upAndDownScrollAcrossPages();
    void gotoPage_data();
    void gotoPage();
    void textMatching_data();
    void textMatching();
    void findText_data();
    void findText();
    void searchResultClick();
    void progressPanel();
    void saveDialogOpenedInTheWorkingFolderWithUpperCaseExtension();
    void printerSetupGoesToTheStore();
    void saveAndLoadRoundTrip();
    void exportThroughARegisteredFilter();
    void loadRefusesMissingAndDamagedFiles();
    void closingDuringGenerationCancelsThePass();
    void secondPreviewIsRefused();
    void thumbnailsPaintOnlyWhatIsShown();

private:
    Answers m_answers;
};

// The zoom hints, the find hint and the side panel's tabs were English
// ("Zoom to fit", "ThumbNails"...): every caption and hint is Portuguese.
void TstTRepStandardPreview::englishTooltipsAndTabs_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("hint");
    QTest::newRow("fit") << "ZoomFit" << "Ajustar à Página";
    QTest::newRow("width") << "ZoomToWidth" << "Ajustar à Largura";
    QTest::newRow("100") << "Zoom100" << "Tamanho Real (100%)";
    QTest::newRow("first") << "FirstPage" << "Primeira Página";
    QTest::newRow("previous") << "PreviousPage" << "Página Anterior";
    QTest::newRow("next") << "nextPage" << "Próxima Página";
    QTest::newRow("last") << "LastPage" << "Última Página";
    QTest::newRow("goto") << "GotoPageButton" << "Escolha a Página";
    QTest::newRow("find") << "FindButton" << "Procurar Texto";
    QTest::newRow("setup") << "PrintSetup" << "Configurar Impressão";
    QTest::newRow("print") << "Print" << "Imprimir";
    QTest::newRow("save") << "SaveReport" << "Salvar Relatório";
    QTest::newRow("load") << "LoadReport" << "Abrir Relatório";
}

void TstTRepStandardPreview::englishTooltipsAndTabs()
{
    QFETCH(QString, name);
    QFETCH(QString, hint);
    PagedReport r(PagedReport::Numbered(1));
    TRepStandardPreview w(&r.report, r.Generate());
    auto *action = w.findChild<QAction *>(name);
    QVERIFY(action);
    QCOMPARE(action->toolTip(), hint);
    QCOMPARE(w.ExitButton->text(), QStringLiteral("&Fechar Janela"));
    QCOMPARE(w.ExitButton->toolTip(), QStringLiteral("Fechar Janela"));
    QCOMPARE(w.ExitButton->width(), 91);
    QCOMPARE(w.Tabs->tabText(0), QStringLiteral("Miniaturas"));
    QCOMPARE(w.Tabs->tabText(1), QStringLiteral("Resultados da Busca"));
}

void TstTRepStandardPreview::configuredFromTheReport()
{
    // The service order's settings: 900 x 720, no left panel, no find
    // button, zoomed to the width; application-modal.
    PagedReport r(PagedReport::Numbered(3));
    r.report.SetPreviewWidth(900);
    r.report.SetPreviewHeight(720);
    r.report.PrevShowThumbs = false;
    r.report.PrevShowSearch = false;
    r.report.PrevInitialZoom = rzZoomToWidth;
    TRepStandardPreview w(&r.report, r.Generate());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.size(), QSize(900, 720));
    // The title said the report's name alone, the order screen's own
    // title: the window says it is a preview.
    QCOMPARE(w.windowTitle(), QStringLiteral("Visualizar Impressão - Ordem de Serviço"));
    QCOMPARE(w.StatusPanel2->text(), QStringLiteral("Ordem de Serviço"));
    QCOMPARE(w.windowModality(), Qt::ApplicationModal);
    QVERIFY(!w.Tabs->isVisible());
    QVERIFY(!w.FindButton->isVisible());
    QVERIFY(w.ZoomToWidth->isChecked());
    QCOMPARE(w.Preview()->ZoomState(), rzZoomToWidth);
    QCOMPARE(w.Preview()->Zoom(), w.Preview()->WidthZoom(w.Preview()->width()));
    // The pass is over: no progress is left showing.
    QCOMPARE(w.StatusPanel0->text(), QString());
    QCOMPARE(w.StatusPanel1->text(), QStringLiteral("Página 1 de 3"));
    QCOMPARE(w.StatusPanel2->text(), QStringLiteral("Ordem de Serviço"));
    QVERIFY(w.Print->isEnabled());
    QVERIFY(w.SaveReport->isEnabled());

    // With thumbnails and search: the left panel, one row per page.
    r.report.PrevShowThumbs = true;
    r.report.PrevShowSearch = true;
    r.report.PrevInitialZoom = rzZoomOther;
    r.report.SetZoom(150);
    TRepStandardPreview w2(&r.report, r.Gen()->PreviewStore());
    w2.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w2));
    QVERIFY(w2.Tabs->isVisible());
    QVERIFY(w2.FindButton->isVisible());
    QCOMPARE(w2.ThumbGrid->PageCount(), 3);
    QVERIFY(w2.Zoom100->isChecked());
    QCOMPARE(w2.Preview()->Zoom(), 150);
}

void TstTRepStandardPreview::zoomModes_data()
{
    QTest::addColumn<QSize>("box");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("fit");
    // A4 Plus at 96 pixels per inch: 794 x 1247 pixels.
    QTest::newRow("700 wide") << QSize(700, 600) << 79 << 46;
    QTest::newRow("page size") << QSize(794, 1247) << 90 << 95;
    QTest::newRow("tiny box") << QSize(1, 1) << 2 << 2;
    QTest::newRow("empty box") << QSize(0, 0) << 2 << 2;
    QTest::newRow("huge box") << QSize(30000, 40000) << 2000 << 2000;
}

void TstTRepStandardPreview::zoomModes()
{
    QFETCH(QSize, box);
    QFETCH(int, width);
    QFETCH(int, fit);
    PagedReport r(PagedReport::Numbered(1));
    TRepPreview preview;
    preview.AttachStore(r.Generate());
    QCOMPARE(preview.PagePixels(), QSize(794, 1247));
    QCOMPARE(preview.WidthZoom(box.width()), width);
    QCOMPARE(preview.FitZoom(box), fit);

    // Applied to the control's own size.
    preview.resize(box);
    preview.ZoomToWidth();
    QCOMPARE(preview.Zoom(), width);
    QCOMPARE(preview.ZoomState(), rzZoomToWidth);
    preview.ZoomToFit();
    QCOMPARE(preview.Zoom(), fit);
    QCOMPARE(preview.ZoomState(), rzZoomToFit);
    preview.Zoom100();
    QCOMPARE(preview.Zoom(), 100);
    QCOMPARE(preview.ZoomState(), rzZoomOther);
}

void TstTRepStandardPreview::imageSizeFollowsTheZoom()
{
    PagedReport r(PagedReport::Numbered(1));
    TRepPreview preview;
    preview.AttachStore(r.Generate());
    preview.resize(600, 400);
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    preview.ZoomToFit();
    // Direct zoom: 2 to 2000, anything else ignored.
    preview.SetZoom(50);
    QCOMPARE(preview.ZoomState(), rzZoomOther);
    QCOMPARE(preview.Image()->size(), QSize(397 + 4, 624 + 4));
    for (int refused : {0, 1, 2001, -5}) {
        preview.SetZoom(refused);
        QCOMPARE(preview.Zoom(), 50);
    }
    preview.SetZoom(2000);
    QCOMPARE(preview.Image()->size(), QSize(15880 + 4, 24940 + 4));
    // At 2000 % only the visible part of the page is asked for.
    struct PaintWatch : QObject
    {
        QList<QRect> rects;
        bool eventFilter(QObject *, QEvent *e) override
        {
            if (e->type() == QEvent::Paint)
                rects << static_cast<QPaintEvent *>(e)->rect();
            return false;
        }
    } watch;
    preview.Image()->installEventFilter(&watch);
    preview.horizontalScrollBar()->setValue(7000);
    preview.verticalScrollBar()->setValue(12000);
    preview.viewport()->repaint();
    preview.Image()->removeEventFilter(&watch);
    QVERIFY(!watch.rects.isEmpty());
    for (const QRect &r : std::as_const(watch.rects)) {
        QVERIFY(r.width() <= preview.viewport()->width() && r.height() <= preview.viewport()->height());
        QVERIFY(r.left() >= 7000 && r.top() >= 12000);
    }
    preview.SetZoom(2);
    QCOMPARE(preview.Image()->size(), QSize(16 + 4, 25 + 4));

    // Resizing keeps the mode: width recomputes, other keeps the zoom.
    preview.ZoomToWidth();
    preview.resize(397, 400);
    QCOMPARE(preview.Zoom(), 45);
    preview.SetZoom(120);
    preview.resize(700, 400);
    QCOMPARE(preview.Zoom(), 120);
}

void TstTRepStandardPreview::navigationKeys_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("expected");
    const int ctrl = int(Qt::ControlModifier);
    QTest::newRow("PgDn") << 1 << int(Qt::Key_PageDown) << 0 << 2;
    QTest::newRow("PgDn on the last page") << 3 << int(Qt::Key_PageDown) << 0 << 3;
    QTest::newRow("Ctrl+PgDn") << 1 << int(Qt::Key_PageDown) << ctrl << 3;
    QTest::newRow("Ctrl+Shift+PgDn is a plain PgDn") << 1 << int(Qt::Key_PageDown)
                                                     << (ctrl | int(Qt::ShiftModifier)) << 2;
    QTest::newRow("PgUp") << 3 << int(Qt::Key_PageUp) << 0 << 2;
    QTest::newRow("PgUp on page 1") << 1 << int(Qt::Key_PageUp) << 0 << 1;
    QTest::newRow("Ctrl+PgUp") << 3 << int(Qt::Key_PageUp) << ctrl << 1;
    QTest::newRow("Home") << 3 << int(Qt::Key_Home) << 0 << 1;
    QTest::newRow("End") << 1 << int(Qt::Key_End) << 0 << 3;
}

void TstTRepStandardPreview::navigationKeys()
{
    QFETCH(int, start);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, expected);
    PagedReport r(PagedReport::Numbered(3));
    TRepStandardPreview w(&r.report, r.Generate());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.GotoPage(start);
    QCOMPARE(w.Preview()->PageNumber(), start);
    // The window sees the key before the focused control.
    QTest::keyClick(w.Preview()->viewport(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(w.Preview()->PageNumber(), expected);
    QCOMPARE(w.StatusPanel1->text(), QStringLiteral("Página %1 de 3").arg(expected));
    QCOMPARE(w.Preview()->Image()->Metafile(), r.Gen()->PreviewStore()->PageMetafile(expected));

    // Esc closes the window.
    QPointer<TRepStandardPreview> alive(&w);
    w.setAttribute(Qt::WA_DeleteOnClose, false);
    QTest::keyClick(w.Preview()->viewport(), Qt::Key_Escape);
    QVERIFY(!w.isVisible());
}

void TstTRepStandardPreview::upAndDownScrollAcrossPages()
{
    PagedReport r(PagedReport::Numbered(2));
    TRepStandardPreview w(&r.report, r.Generate());
    w.Preview()->SetZoom(100);
    w.resize(900, 600);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QScrollBar *bar = w.Preview()->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    const int step = bar->singleStep();

    // Up on page 1 at the top only moves the scroll position.
    QTest::keyClick(w.Preview()->viewport(), Qt::Key_Up);
    QCOMPARE(w.Preview()->PageNumber(), 1);
    QCOMPARE(bar->value(), 0);
    // Down scrolls one step; at the bottom it goes to the next page's top.
    QTest::keyClick(w.Preview()->viewport(), Qt::Key_Down);
    QCOMPARE(bar->value(), step);
    bar->setValue(bar->maximum() - step);
    QTest::keyClick(w.Preview()->viewport(), Qt::Key_Down);
    QCOMPARE(w.Preview()->PageNumber(), 2);
    QCOMPARE(bar->value(), 0);
    // Up at the top goes back to the previous page's foot.
    QTest::keyClick(w.Preview()->viewport(), Qt::Key_Up);
    QCOMPARE(w.Preview()->PageNumber(), 1);
    QCOMPARE(bar->value(), bar->maximum() - step);
    QCOMPARE(w.StatusPanel1->text(), QStringLiteral("Página 1 de 2"));
}

void TstTRepStandardPreview::gotoPage_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("expected");
    QTest::newRow("0") << "0" << 1;
    QTest::newRow("99") << "99" << 1;
    QTest::newRow("2") << "2" << 2;
    QTest::newRow("3 with blanks") << " 3 " << 3;
    QTest::newRow("not a number") << "dois" << 1;
    QTest::newRow("empty") << "" << 1;
}

void TstTRepStandardPreview::gotoPage()
{
    QFETCH(QString, typed);
    QFETCH(int, expected);
    PagedReport r(PagedReport::Numbered(3));
    TRepStandardPreview w(&r.report, r.Generate());
    w.GotoPage(2);
    m_answers.input = typed;
    w.GotoPageButton->trigger();
    QCOMPARE(m_answers.inputCaption, QStringLiteral("Página 1 de 3"));
    QCOMPARE(m_answers.inputPrompt, QStringLiteral("Número da Página"));
    QCOMPARE(m_answers.inputPreset, QStringLiteral("2"));
    QCOMPARE(w.Preview()->PageNumber(), expected);
}

void TstTRepStandardPreview::textMatching_data()
{
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("found");
    const QStringList rec{QStringLiteral("Serviço de AÇÃO"), QStringLiteral("Édson é técnico")};
    QTest::newRow("ç without match case") << rec << "SERVIÇO" << false << true;
    QTest::newRow("ç with match case") << rec << "Serviço" << true << true;
    QTest::newRow("ç wrong case, match case") << rec << "SERVIÇO" << true << false;
    QTest::newRow("ã lower finds Ã") << rec << "ação" << false << true;
    QTest::newRow("ã lower with match case") << rec << "ação" << true << false;
    QTest::newRow("É lower finds É") << rec << "édson" << false << true;
    QTest::newRow("é is not e") << rec << "edson" << false << false;
    // A character whose low byte equals another's must not match it:
    // U+0107 (ć) and U+00E7 (ç) share no low byte, U+0147 and U+0047 do.
    QTest::newRow("no low-byte match") << QStringList{QStringLiteral("GATO")} << QStringLiteral("\u0147ATO") << true
                                       << false;
    QTest::newRow("inside one record only") << rec << "AÇÃOÉdson" << false << false;
    QTest::newRow("empty text finds nothing") << rec << "" << false << false;
}

void TstTRepStandardPreview::textMatching()
{
    QFETCH(QStringList, records);
    QFETCH(QString, text);
    QFETCH(bool, matchCase);
    QFETCH(bool, found);
    QCOMPARE(TRepStandardPreview::TextRecordsMatch(records, text, matchCase), found);
}

void TstTRepStandardPreview::findText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("one page") << "ação" << false << QStringList{"Página 2"};
    QTest::newRow("every page") << "RELATÓRIO" << false << QStringList{"Página 1", "Página 2", "Página 3"};
    QTest::newRow("match case") << "relatório" << true << QStringList{"Nenhum texto encontrado"};
    QTest::newRow("nothing") << "inexistente" << false << QStringList{"Nenhum texto encontrado"};
}

void TstTRepStandardPreview::findText()
{
    QFETCH(QString, text);
    QFETCH(bool, matchCase);
    QFETCH(QStringList, lines);
    PagedReport r({QStringLiteral("Troca de tela"), QStringLiteral("AÇÃO do técnico"), QStringLiteral("Édson")});
    TRepStandardPreview w(&r.report, r.Generate());
    QVERIFY(!w.SearchResultBox->isEnabled());
    m_answers.searchText = text;
    m_answers.matchCase = matchCase;
    w.FindButton->trigger();
    QCOMPARE(w.SearchTextLabel->text(), text);
    QCOMPARE(Lines(w.SearchResultBox), lines);
    QCOMPARE(w.SearchResultBox->isEnabled(), lines.first() != QStringLiteral("Nenhum texto encontrado"));

    // Cancel ends the search and leaves the list alone.
    m_answers.search = false;
    m_answers.searchText = QStringLiteral("outro");
    w.FindButton->trigger();
    QCOMPARE(Lines(w.SearchResultBox), lines);
}

void TstTRepStandardPreview::searchResultClick()
{
    PagedReport r({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("alvo")});
    TRepStandardPreview w(&r.report, r.Generate());
    m_answers.searchText = QStringLiteral("ALVO");
    w.FindButton->trigger();
    QCOMPARE(Lines(w.SearchResultBox), QStringList{"Página 3"});
    w.SearchResultBoxClick(w.SearchResultBox->item(0));
    QCOMPARE(w.Preview()->PageNumber(), 3);
    // A line whose page is out of range, or none, goes to page 1.
    QListWidgetItem stray(QStringLiteral("Página 9"));
    stray.setData(Qt::UserRole, 9);
    w.SearchResultBoxClick(&stray);
    QCOMPARE(w.Preview()->PageNumber(), 1);
    w.GotoPage(2);
    w.SearchResultBoxClick(nullptr);
    QCOMPARE(w.Preview()->PageNumber(), 1);
}

void TstTRepStandardPreview::progressPanel()
{
    PagedReport r(PagedReport::Numbered(1));
    TRepStandardPreview w(&r.report, r.Generate());
    // Shown only 5 or more above the last shown value; 0 and 100 clear it.
    const QList<QPair<int, QString>> steps{{3, ""},  {7, "7%"},  {10, "7%"}, {12, "12%"},
                                           {100, ""}, {4, ""},    {5, "5%"},  {0, ""}};
    for (const auto &[value, shown] : steps) {
        TRepNotifyEvent progress(TRepNotifyEvent::Progress, value);
        QCoreApplication::sendEvent(w.Preview(), &progress);
        QCOMPARE(w.StatusPanel0->text(), shown);
    }
}

// The save dialog opened in the process's working folder and gave a bare
// name the upper-case ".PDF": it opens in the user's documents (the home
// folder without them) and adds lower-case extensions, for the report file
// and for the chosen export entry alike.
void TstTRepStandardPreview::saveDialogOpenedInTheWorkingFolderWithUpperCaseExtension()
{
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    const QString expected = TRepStandardPreview::StartFolder();
    qputenv("HOME", oldHome);
    QVERIFY(expected == home.path() || expected.startsWith(home.path() + QLatin1Char('/')));
    QVERIFY(expected != QDir::currentPath());

    TRepStandardPreview::ResetDialogs();
    QString folder, suffix, suffixAfterPdf;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        folder = dialog->directory().absolutePath();
        suffix = dialog->defaultSuffix();
        const QStringList names = dialog->nameFilters();
        if (names.size() > 1) {
            dialog->selectNameFilter(names.at(1));
            emit dialog->filterSelected(names.at(1));
        }
        suffixAfterPdf = dialog->defaultSuffix();
        dialog->reject();
    });
    int index = -1;
    qputenv("HOME", QFile::encodeName(home.path()));
    const QString chosen = TRepStandardPreview::Dialogs().SaveFileName(
        nullptr, QStringLiteral("Salvar Relatório"), QStringLiteral("RPF"),
        {QStringLiteral("Relatório salvo (*.RPF)|*.RPF"), QStringLiteral("PDF document (*.PDF)|*.PDF")}, index);
    qputenv("HOME", oldHome);
    QVERIFY(chosen.isEmpty());
    QCOMPARE(folder, QDir(expected).absolutePath());
    QCOMPARE(suffix, QStringLiteral("rpf"));
    QCOMPARE(suffixAfterPdf, QStringLiteral("pdf"));
}

void TstTRepStandardPreview::printerSetupGoesToTheStore()
{
    if (QPrinterInfo::availablePrinterNames().isEmpty())
        QSKIP("no printer installed");
    PagedReport r(PagedReport::Numbered(3));
    TRepStandardPreview w(&r.report, r.Generate());
    TRepGenerator::ExecPrintDialog = [](QPrintDialog &dialog) {
        dialog.printer()->setCopyCount(3);
        dialog.printer()->setPrintRange(QPrinter::PageRange);
        dialog.printer()->setFromTo(2, 3);
        return true;
    };
    w.PrintSetup->trigger();
    TRepGenerator::ExecPrintDialog = nullptr;
    const TPrinterSettings &s = r.Gen()->PreviewStore()->Settings();
    QCOMPARE(s.Copies, 3);
    QCOMPARE(r.Gen()->PreviewStore()->PrintRange().FirstPage, 2);
    QCOMPARE(r.Gen()->PreviewStore()->PrintRange().LastPage, 3);
    QCOMPARE(r.report.PrinterSettings.Copies, 3);
    // A cancelled dialog changes nothing.
    TRepGenerator::ExecPrintDialog = [](QPrintDialog &) { return false; };
    w.PrintSetup->trigger();
    TRepGenerator::ExecPrintDialog = nullptr;
    QCOMPARE(r.Gen()->PreviewStore()->Settings().Copies, 3);
}

void TstTRepStandardPreview::saveAndLoadRoundTrip()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("os.RPF"));
    PagedReport r({QStringLiteral("um"), QStringLiteral("dois"), QStringLiteral("três")});
    QList<TRepMetafile> pages;
    {
        TRepStandardPreview w(&r.report, r.Generate());
        for (int i = 1; i <= 3; ++i)
            pages << r.Gen()->PreviewStore()->PageMetafile(i);
        m_answers.saveFile = file;
        m_answers.saveIndex = 0;
        w.SaveReport->trigger();
        QCOMPARE(m_answers.saveFilters.first(), QStringLiteral("Relatório salvo(*.RPF)|*.RPF"));
        QVERIFY(QFile::exists(file));
    }

    // Another report's preview loads the file: its pages replace the shown ones.
    PagedReport other(PagedReport::Numbered(5));
    TRepStandardPreview w(&other.report, other.Generate());
    w.GotoPage(4);
    m_answers.openFile = file;
    w.LoadReport->trigger();
    QVERIFY(m_answers.messages.isEmpty());
    QCOMPARE(w.Preview()->PageTotal(), 3);
    QCOMPARE(w.Preview()->PageNumber(), 1);
    QCOMPARE(w.StatusPanel1->text(), QStringLiteral("Página 1 de 3"));
    QCOMPARE(w.StatusPanel2->text(), file);
    QCOMPARE(w.ThumbGrid->PageCount(), 3);
    QVERIFY(TRepPrinter::LoadedFileFlag());
    QVERIFY(w.Print->isEnabled());
    for (int i = 1; i <= 3; ++i) {
        w.GotoPage(i);
        QCOMPARE(w.Preview()->Image()->Metafile(), pages.at(i - 1));
    }
    // Loaded pages are saved as they are, never exported.
    QCOMPARE(w.SaveFilterList(), QStringLiteral("Relatório salvo(*.RPF)|*.RPF"));
    m_answers.searchText = QStringLiteral("TRÊS");
    w.FindButton->trigger();
    QCOMPARE(Lines(w.SearchResultBox), QStringList{"Página 3"});
}

void TstTRepStandardPreview::exportThroughARegisteredFilter()
{
    QStringList created;
    RecordingFilter *last = nullptr;
    int pagesExported = 0;
    struct Counting : RecordingFilter
    {
        int *out = nullptr;
        ~Counting() override { *out = pages; }
    };
    TRepExportFilterLibrary::Register(QStringLiteral("Test document"), QStringLiteral("TST"),
                                      [&](const QString &fileName) -> std::unique_ptr<TRepExportFilter> {
                                          created << fileName;
                                          auto f = std::make_unique<Counting>();
                                          f->out = &pagesExported;
                                          last = f.get();
                                          return f;
                                      });
    PagedReport r(PagedReport::Numbered(2));
    TRepStandardPreview w(&r.report, r.Generate());
    QCOMPARE(w.SaveFilterList(), QStringLiteral("Relatório salvo(*.RPF)|*.RPF|Test document (*.TST)|*.TST"));
    m_answers.saveFile = QStringLiteral("/tmp/saida.TST");
    m_answers.saveIndex = 1;
    w.SaveReport->trigger();
    TRepExportFilterLibrary::Unregister(QStringLiteral("Test document"));
    QCOMPARE(m_answers.saveFilters,
             QStringList({"Relatório salvo(*.RPF)|*.RPF", "Test document (*.TST)|*.TST"}));
    QCOMPARE(created, QStringList{"/tmp/saida.TST"});
    QVERIFY(last);
    QCOMPARE(pagesExported, 2);     // the report ran into the filter, which was then freed
    QVERIFY(m_answers.messages.isEmpty());
}

void TstTRepStandardPreview::loadRefusesMissingAndDamagedFiles()
{
    QTemporaryDir dir;
    PagedReport r(PagedReport::Numbered(3));
    TRepStandardPreview w(&r.report, r.Generate());
    w.GotoPage(2);
    const TRepMetafile shown = w.Preview()->Image()->Metafile();

    m_answers.openFile = dir.filePath(QStringLiteral("nada.RPF"));
    w.LoadReport->trigger();
    QCOMPARE(m_answers.messages, QStringList{"O arquivo não existe."});

    // A damaged saved file: a real one cut short, and one of garbage.
    const QString good = dir.filePath(QStringLiteral("bom.RPF"));
    r.Gen()->PreviewStore()->SaveToFile(good);
    QFile in(good);
    QVERIFY(in.open(QIODevice::ReadOnly));
    const QByteArray bytes = in.readAll();
    for (const QByteArray &damaged : {bytes.left(bytes.size() - 40), QByteArray(300, 'x')}) {
        m_answers.messages.clear();
        const QString bad = dir.filePath(QStringLiteral("ruim.RPF"));
        QFile out(bad);
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(damaged);
        out.close();
        m_answers.openFile = bad;
        w.LoadReport->trigger();
        QCOMPARE(m_answers.messages.size(), 1);
        QVERIFY2(m_answers.messages.first().contains(QStringLiteral("ruim.RPF")), qPrintable(m_answers.messages.first()));
        // The report shown stays as it was.
        QCOMPARE(w.Preview()->PageTotal(), 3);
        QCOMPARE(w.Preview()->PageNumber(), 2);
        QCOMPARE(w.Preview()->Image()->Metafile(), shown);
        QCOMPARE(w.StatusPanel2->text(), QStringLiteral("Ordem de Serviço"));
        QVERIFY(!TRepPrinter::LoadedFileFlag());
        QCOMPARE(w.SaveFilterList(), QStringLiteral("Relatório salvo(*.RPF)|*.RPF"));
    }
}

void TstTRepStandardPreview::closingDuringGenerationCancelsThePass()
{
    PagedReport r(PagedReport::Numbered(40));
    QPointer<TRepStandardPreview> window;
    TRepStandardPreview::Register();
    const auto standard = TRepGenerator::PreviewWindowFactory;
    TRepGenerator::PreviewWindowFactory = [&](TRepReport *report, TRepPrinter *store) {
        window = static_cast<TRepStandardPreview *>(standard(report, store));
        return window.data();
    };
    bool firstPageShown = false;
    int pagesAvailable = 0;
    r.report.OnStartPage = [&](TRepReport *) {
        if (r.Gen()->PagesGenerated() == 3 && window) {
            // Pages are shown while the pass runs.
            QCoreApplication::processEvents();
            firstPageShown = window->Preview()->Image()->Loaded();
            pagesAvailable = window->ThumbGrid->PageCount();
            QVERIFY(!window->Print->isEnabled());
            QVERIFY(!window->SaveReport->isEnabled());
            window->ExitButton->click();
        }
    };
    r.Gen()->ShowPreview();
    QVERIFY(firstPageShown);
    QCOMPARE(pagesAvailable, 2);
    QVERIFY(r.Gen()->Cancelled());
    QCOMPARE(r.Gen()->PagesGenerated(), 3);
    QVERIFY(!r.Gen()->PreviewStore());
    QVERIFY(!TRepGenerator::PreviewRunning());
    QTRY_VERIFY(!window);
}

void TstTRepStandardPreview::secondPreviewIsRefused()
{
    PagedReport r(PagedReport::Numbered(2));
    PagedReport other(PagedReport::Numbered(1));
    int windows = 0;
    TRepStandardPreview::Register();
    const auto standard = TRepGenerator::PreviewWindowFactory;
    TRepGenerator::PreviewWindowFactory = [&](TRepReport *report, TRepPrinter *store) {
        ++windows;
        QWidget *w = standard(report, store);
        QTimer::singleShot(0, w, [&, w] {
            TRepPrinter *before = r.Gen()->PreviewStore();
            const TRepMetafile shown = static_cast<TRepStandardPreview *>(w)->Preview()->Image()->Metafile();
            // Again on the same report and on another one: nothing happens.
            r.Gen()->ShowPreview();
            other.Gen()->ShowPreview();
            QCOMPARE(r.Gen()->PreviewStore(), before);
            QVERIFY(!other.Gen()->PreviewStore());
            QCOMPARE(static_cast<TRepStandardPreview *>(w)->Preview()->Image()->Metafile(), shown);
            w->close();
        });
        return w;
    };
    r.Gen()->ShowPreview();
    QCOMPARE(windows, 1);
    QVERIFY(!TRepGenerator::PreviewRunning());
    // Once closed, a new preview opens again.
    TRepGenerator::PreviewWindowFactory = [&](TRepReport *report, TRepPrinter *store) {
        ++windows;
        QWidget *w = standard(report, store);
        QTimer::singleShot(0, w, &QWidget::close);
        return w;
    };
    other.Gen()->ShowPreview();
    QCOMPARE(windows, 2);
}

void TstTRepStandardPreview::thumbnailsPaintOnlyWhatIsShown()
{
    PagedReport r(PagedReport::Numbered(60));
    TRepStandardPreview w(&r.report, r.Generate());
    w.resize(900, 600);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.ThumbGrid->PageCount(), 60);
    w.ThumbGrid->grab();
    const int visible = w.ThumbGrid->viewport()->height() / w.ThumbGrid->ThumbRowHeight() + 2;
    QVERIFY(w.ThumbGrid->PaintedThumbnails() > 0);
    QVERIFY2(w.ThumbGrid->PaintedThumbnails() <= 2 * visible, qPrintable(QString::number(w.ThumbGrid->PaintedThumbnails())));
    // Scrolling to the end paints the last rows, and the cache stays small.
    w.GotoPage(60);
    w.ThumbGrid->grab();
    QVERIFY(w.ThumbGrid->CachedThumbnails() <= TRepThumbGrid::CacheSize);
    QVERIFY(w.ThumbGrid->PaintedThumbnails() <= 4 * visible);
    // Picking a thumbnail goes to its page.
    w.ThumbGrid->selectRow(9);
    QCOMPARE(w.Preview()->PageNumber(), 10);
}

QTEST_MAIN(TstTRepStandardPreview)
#include "tst_trepstandardpreview.moc"
