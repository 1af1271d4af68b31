#include "report/preview/trepstandardpreview.h"

#include "report/generate/trepexportfilter.h"
#include "report/generate/trepexportfilterlibrary.h"
#include "report/generate/trepgenerator.h"
#include "report/model/ereperror.h"
#include "report/model/trepreport.h"
#include "report/preview/treppreview.h"
#include "report/preview/treppreviewimage.h"
#include "report/preview/trepthumbgrid.h"
#include "report/preview/tsearchdlg.h"
#include "report/print/trepnotifyevent.h"
#include "report/print/trepprinter.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

const QString RpfExtension = QStringLiteral("RPF");

QString ReportFileEntry(bool blankBeforeBracket)
{
    return QStringLiteral("Relatório salvo") + (blankBeforeBracket ? QStringLiteral(" (*.") : QStringLiteral("(*."))
        + RpfExtension + QStringLiteral(")|*.") + RpfExtension;
}

// "a|b|c|d" as the pairs "a|b", "c|d".
QStringList FilterPairs(const QString &list)
{
    const QStringList parts = list.split(QLatin1Char('|'));
    QStringList pairs;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        pairs << parts.at(i) + QLatin1Char('|') + parts.at(i + 1);
    return pairs;
}

// A pair as Qt's dialogs name a filter: the description, with the pattern
// in brackets when the description does not show it already.
QString QtNameFilter(const QString &pair)
{
    const QString description = pair.section(QLatin1Char('|'), 0, 0);
    const QString pattern = pair.section(QLatin1Char('|'), 1);
    if (description.contains(QLatin1Char('(')))
        return description;
    return description + QStringLiteral(" (") + pattern + QLatin1Char(')');
}

} // namespace

QString TRepStandardPreview::StartFolder()
{
    // The process's working folder is wherever the program was started
    // from (often /): the user's documents, or the home folder without them.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir())
        return documents;
    return QDir::homePath();
}

namespace {

TRepStandardPreview::TDialogs DefaultDialogs()
{
    TRepStandardPreview::TDialogs d;
    d.InputBox = [](QWidget *parent, const QString &caption, const QString &prompt, const QString &preset) {
        bool ok = false;
        const QString text = QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, preset, &ok);
        return ok ? text : preset;
    };
    d.ExecSearch = [](TSearchDlg &dialog) { return dialog.exec() == QDialog::Accepted; };
    d.SaveFileName = [](QWidget *parent, const QString &title, const QString &defaultExt, const QStringList &filters,
                        int &filterIndex) {
        QFileDialog dialog(parent, title, TRepStandardPreview::StartFolder());
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        // Extensions are written in lower case, as files are named here.
        dialog.setDefaultSuffix(defaultExt.toLower());
        QStringList names;
        for (const QString &f : filters)
            names << QtNameFilter(f);
        dialog.setNameFilters(names);
        // The extension added to a bare name follows the chosen entry.
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString &name) {
            const int i = int(names.indexOf(name));
            if (i >= 0)
                dialog.setDefaultSuffix(filters.at(i).section(QStringLiteral("*."), -1).toLower());
        });
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        filterIndex = std::max(0, int(names.indexOf(dialog.selectedNameFilter())));
        return dialog.selectedFiles().first();
    };
    d.OpenFileName = [](QWidget *parent, const QString &title, const QStringList &filters) {
        QStringList names;
        for (const QString &f : filters)
            names << QtNameFilter(f);
        return QFileDialog::getOpenFileName(parent, title, TRepStandardPreview::StartFolder(),
                                            names.join(QStringLiteral(";;")));
    };
    d.ShowMessage = [](const QString &text) {
        QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok);
        box.exec();
    };
    return d;
}

QAction *MakeAction(QToolBar *bar, const QString &name, const QString &hint, QStyle::StandardPixmap icon,
                    const QString &text)
{
    QAction *a = bar->addAction(bar->style()->standardIcon(icon), text);
    a->setObjectName(name);
    a->setToolTip(hint);
    a->setStatusTip(hint);
    return a;
}

} // namespace

TRepStandardPreview::TDialogs &TRepStandardPreview::Dialogs()
{
    static TDialogs dialogs = DefaultDialogs();
    return dialogs;
}

void TRepStandardPreview::ResetDialogs()
{
    Dialogs() = DefaultDialogs();
}

void TRepStandardPreview::Register()
{
    TRepGenerator::PreviewWindowFactory = [](TRepReport *report, TRepPrinter *store) -> QWidget * {
        auto *window = new TRepStandardPreview(report, store);
        window->show();
        return window;
    };
}

TRepStandardPreview::TRepStandardPreview(TRepReport *report, TRepPrinter *store, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_report(report)
    , m_store(store)
{
    setObjectName(QStringLiteral("TRepStandardPreview"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    resize(872, 605);

    CreateToolBar();
    CreateSidePanelAndPage();
    CreateStatusBar();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ToolBar1);
    layout->addWidget(Splitter1, 1);
    layout->addWidget(StatusBar1);

    ConnectControls();

    ConfigureFromReport();
    ThumbGrid->SetStore(store);
    PreviewControl->AttachStore(store);
    ThumbGrid->SetPageCount(PreviewControl->PageTotal());
    UpdateStatus();
    UpdateActions();
    qApp->installEventFilter(this);
}

// The tool bar: zoom, page moves, find, print, save and load, and the close button.
void TRepStandardPreview::CreateToolBar()
{
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_zoomGroup = new QActionGroup(this);
    m_zoomGroup->setExclusive(true);
    ZoomFit = MakeAction(ToolBar1, QStringLiteral("ZoomFit"), QStringLiteral("Ajustar à Página"),
                         QStyle::SP_TitleBarMaxButton, QStringLiteral("Fit"));
    ZoomToWidth = MakeAction(ToolBar1, QStringLiteral("ZoomToWidth"), QStringLiteral("Ajustar à Largura"),
                             QStyle::SP_ToolBarHorizontalExtensionButton, QStringLiteral("Width"));
    Zoom100 = MakeAction(ToolBar1, QStringLiteral("Zoom100"), QStringLiteral("Tamanho Real (100%)"),
                         QStyle::SP_TitleBarNormalButton, QStringLiteral("100%"));
    for (QAction *a : {ZoomFit, ZoomToWidth, Zoom100}) {
        a->setCheckable(true);
        m_zoomGroup->addAction(a);
    }
    ToolBar1->addSeparator();
    FirstPage = MakeAction(ToolBar1, QStringLiteral("FirstPage"), QStringLiteral("Primeira Página"),
                           QStyle::SP_MediaSkipBackward, QStringLiteral("|<"));
    PreviousPage = MakeAction(ToolBar1, QStringLiteral("PreviousPage"), QStringLiteral("Página Anterior"),
                              QStyle::SP_MediaSeekBackward, QStringLiteral("<"));
    nextPage = MakeAction(ToolBar1, QStringLiteral("nextPage"), QStringLiteral("Próxima Página"),
                          QStyle::SP_MediaSeekForward, QStringLiteral(">"));
    LastPage = MakeAction(ToolBar1, QStringLiteral("LastPage"), QStringLiteral("Última Página"),
                          QStyle::SP_MediaSkipForward, QStringLiteral(">|"));
    ToolBar1->addSeparator();
    GotoPageButton = MakeAction(ToolBar1, QStringLiteral("GotoPageButton"), QStringLiteral("Escolha a Página"),
                                QStyle::SP_FileDialogContentsView, QStringLiteral("#"));
    FindButton = MakeAction(ToolBar1, QStringLiteral("FindButton"), QStringLiteral("Procurar Texto"),
                            QStyle::SP_FileDialogDetailedView, QStringLiteral("?"));
    ToolBar1->addSeparator();
    PrintSetup = MakeAction(ToolBar1, QStringLiteral("PrintSetup"), QStringLiteral("Configurar Impressão"),
                            QStyle::SP_ComputerIcon, QStringLiteral("Setup"));
    Print = MakeAction(ToolBar1, QStringLiteral("Print"), QStringLiteral("Imprimir"), QStyle::SP_DriveFDIcon,
                       QStringLiteral("Print"));
    // Ctrl+P as everywhere else on the desktop.
    Print->setShortcut(QKeySequence::Print);
    ToolBar1->addSeparator();
    SaveReport = MakeAction(ToolBar1, QStringLiteral("SaveReport"), QStringLiteral("Salvar Relatório"),
                            QStyle::SP_DialogSaveButton, QStringLiteral("Save"));
    LoadReport = MakeAction(ToolBar1, QStringLiteral("LoadReport"), QStringLiteral("Abrir Relatório"),
                            QStyle::SP_DialogOpenButton, QStringLiteral("Open"));
    ToolBar1->addSeparator();
    ExitButton = new QPushButton(QStringLiteral("&Fechar Janela"), ToolBar1);
    ExitButton->setObjectName(QStringLiteral("ExitButton"));
    ExitButton->setToolTip(QStringLiteral("Fechar Janela"));
    ExitButton->setFlat(true);
    ExitButton->setFixedWidth(91);
    ExitButton->setFocusPolicy(Qt::NoFocus);
    ToolBar1->addWidget(ExitButton);
}

// The thumbnails and search results beside the page.
void TRepStandardPreview::CreateSidePanelAndPage()
{
    Splitter1 = new QSplitter(Qt::Horizontal, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Tabs = new QTabWidget(Splitter1);
    Tabs->setObjectName(QStringLiteral("Tabs"));
    TabThumbs = new QWidget;
    TabThumbs->setObjectName(QStringLiteral("TabThumbs"));
    ThumbGrid = new TRepThumbGrid(TabThumbs);
    auto *thumbLayout = new QVBoxLayout(TabThumbs);
    thumbLayout->setContentsMargins(0, 0, 0, 0);
    thumbLayout->addWidget(ThumbGrid);
    Tabs->addTab(TabThumbs, QStringLiteral("Miniaturas"));
    TabSearchResult = new QWidget;
    TabSearchResult->setObjectName(QStringLiteral("TabSearchResult"));
    SearchBox = new QGroupBox(QStringLiteral("Texto Procurado"), TabSearchResult);
    SearchBox->setObjectName(QStringLiteral("SearchBox"));
    SearchTextLabel = new QLabel(SearchBox);
    SearchTextLabel->setObjectName(QStringLiteral("SearchTextLabel"));
    auto *boxLayout = new QVBoxLayout(SearchBox);
    boxLayout->addWidget(SearchTextLabel);
    SearchResultBox = new QListWidget(TabSearchResult);
    SearchResultBox->setObjectName(QStringLiteral("SearchResultBox"));
    SearchResultBox->setEnabled(false);
    auto *searchLayout = new QVBoxLayout(TabSearchResult);
    searchLayout->setContentsMargins(0, 0, 0, 0);
    searchLayout->addWidget(SearchBox);
    searchLayout->addWidget(SearchResultBox, 1);
    Tabs->addTab(TabSearchResult, QStringLiteral("Resultados da Busca"));
    PreviewControl = new TRepPreview(Splitter1);
    Splitter1->addWidget(Tabs);
    Splitter1->addWidget(PreviewControl);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({193, 872 - 193});
}

// Progress, page number and page size.
void TRepStandardPreview::CreateStatusBar()
{
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    // The pass's progress: a pass still running shows where it is; a
    // finished one shows nothing (it used to stay at "0%").
    StatusPanel0 = new QLabel;
    StatusPanel0->setObjectName(QStringLiteral("StatusPanel0"));
    if (m_store && m_store->StoreState() == TRepPrinter::Busy)
        ProgressUpdate(m_store->Progress());
    StatusPanel0->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    StatusPanel0->setFixedWidth(40);
    StatusPanel1 = new QLabel(QStringLiteral("Page"));
    StatusPanel1->setObjectName(QStringLiteral("StatusPanel1"));
    StatusPanel1->setFixedWidth(120);
    StatusPanel2 = new QLabel;
    StatusPanel2->setObjectName(QStringLiteral("StatusPanel2"));
    StatusPanel2->setMinimumWidth(50);
    StatusBar1->addWidget(StatusPanel0);
    StatusBar1->addWidget(StatusPanel1);
    StatusBar1->addWidget(StatusPanel2, 1);
}

// Every control to its handler.
void TRepStandardPreview::ConnectControls()
{
    connect(ZoomFit, &QAction::triggered, this, [this] { ZoomFitClick(); });
    connect(ZoomToWidth, &QAction::triggered, this, [this] { ZoomToWidthClick(); });
    connect(Zoom100, &QAction::triggered, this, [this] { Zoom100Click(); });
    connect(FirstPage, &QAction::triggered, this, [this] { FirstPageClick(); });
    connect(PreviousPage, &QAction::triggered, this, [this] { PreviousPageClick(); });
    connect(nextPage, &QAction::triggered, this, [this] { NextPageClick(); });
    connect(LastPage, &QAction::triggered, this, [this] { LastPageClick(); });
    connect(GotoPageButton, &QAction::triggered, this, [this] { GotoPageButtonClick(); });
    connect(FindButton, &QAction::triggered, this, [this] { FindButtonClick(); });
    connect(PrintSetup, &QAction::triggered, this, [this] { PrintSetupClick(); });
    connect(Print, &QAction::triggered, this, [this] { PrintClick(); });
    connect(SaveReport, &QAction::triggered, this, [this] { SaveReportClick(); });
    connect(LoadReport, &QAction::triggered, this, [this] { LoadReportClick(); });
    connect(ExitButton, &QPushButton::clicked, this, &QWidget::close);
    connect(SearchResultBox, &QListWidget::itemClicked, this, [this](QListWidgetItem *i) { SearchResultBoxClick(i); });
    connect(ThumbGrid, &TRepThumbGrid::PageSelected, this, [this](int page) { GotoPage(page); });
    connect(PreviewControl, &TRepPreview::PageAvailable, this, [this](int n) { PageAvailable(n); });
    connect(PreviewControl, &TRepPreview::ProgressUpdate, this, [this](int p) { ProgressUpdate(p); });
}

TRepStandardPreview::~TRepStandardPreview()
{
    qApp->removeEventFilter(this);
}

TRepReport *TRepStandardPreview::Report() const
{
    return m_report;
}

TRepPrinter *TRepStandardPreview::Store() const
{
    return m_store;
}

void TRepStandardPreview::ConfigureFromReport()
{
    TRepReport *r = m_report;
    QString title;
    if (r) {
        if (r->PrevFormStyle == fsStayOnTop)
            setWindowFlag(Qt::WindowStaysOnTopHint, true);
        resize(r->PreviewWidth(), r->PreviewHeight());
        if (r->PreviewInitialState == wsMaximized)
            setWindowState(Qt::WindowMaximized);
        else if (r->PreviewInitialState == wsMinimized)
            setWindowState(Qt::WindowMinimized);
        m_showThumbs = r->PrevShowThumbs;
        m_showSearch = r->PrevShowSearch;
        title = r->ReportTitle;
    }
    // Said to be a preview, so that it is not taken for the screen of the
    // same name that opened it.
    setWindowTitle(title.isEmpty() ? QStringLiteral("Visualizar Impressão")
                                   : QStringLiteral("Visualizar Impressão - ") + title);
    StatusPanel2->setText(title);
    Tabs->setVisible(m_showThumbs || m_showSearch);
    Tabs->setTabVisible(Tabs->indexOf(TabThumbs), m_showThumbs);
    Tabs->setTabVisible(Tabs->indexOf(TabSearchResult), m_showSearch);
    FindButton->setVisible(m_showSearch);
    const TRepZoomState zoom = r ? r->PrevInitialZoom : rzZoomToFit;
    if (zoom == rzZoomToFit) {
        PreviewControl->ZoomToFit();
        ZoomFit->setChecked(true);
    } else if (zoom == rzZoomToWidth) {
        PreviewControl->ZoomToWidth();
        ZoomToWidth->setChecked(true);
    } else {
        PreviewControl->SetZoom(r ? r->Zoom() : 100);
        Zoom100->setChecked(true);
    }
}

void TRepStandardPreview::Guarded(const std::function<void()> &action)
{
    try {
        action();
    } catch (const std::exception &e) {
        Dialogs().ShowMessage(QString::fromUtf8(e.what()));
    }
}

void TRepStandardPreview::UpdateStatus()
{
    const int total = PreviewControl->PageTotal();
    if (total > 0)
        StatusPanel1->setText(QStringLiteral("Página %1 de %2").arg(PreviewControl->PageNumber()).arg(total));
}

void TRepStandardPreview::UpdateActions()
{
    const bool ready = m_store && m_store->StoreState() == TRepPrinter::Ready;
    Print->setEnabled(ready);
    SaveReport->setEnabled(ready);
    LoadReport->setEnabled(!m_store || m_store->StoreState() != TRepPrinter::Busy);
}

void TRepStandardPreview::PageAvailable(int)
{
    ThumbGrid->SetPageCount(PreviewControl->PageTotal());
    UpdateStatus();
    UpdateActions();
}

void TRepStandardPreview::ProgressUpdate(int progress)
{
    if (progress == 0 || progress >= 100) {
        StatusPanel0->clear();
        m_lastProgress = 0;
        return;
    }
    if (progress >= m_lastProgress + 5) {
        StatusPanel0->setText(QString::number(progress) + QLatin1Char('%'));
        m_lastProgress = progress;
    }
}

void TRepStandardPreview::GotoPage(int n)
{
    if (!PreviewControl->GotoPage(n))
        return;
    UpdateStatus();
    ThumbGrid->SelectPage(n);
}

void TRepStandardPreview::ZoomFitClick()
{
    PreviewControl->ZoomToFit();
    ZoomFit->setChecked(true);
}

void TRepStandardPreview::ZoomToWidthClick()
{
    PreviewControl->ZoomToWidth();
    ZoomToWidth->setChecked(true);
}

void TRepStandardPreview::Zoom100Click()
{
    PreviewControl->Zoom100();
    Zoom100->setChecked(true);
}

void TRepStandardPreview::FirstPageClick()
{
    GotoPage(1);
}

void TRepStandardPreview::PreviousPageClick()
{
    GotoPage(PreviewControl->PageNumber() - 1);
}

void TRepStandardPreview::NextPageClick()
{
    GotoPage(PreviewControl->PageNumber() + 1);
}

void TRepStandardPreview::LastPageClick()
{
    GotoPage(PreviewControl->PageTotal());
}

void TRepStandardPreview::GotoPageButtonClick()
{
    const int total = PreviewControl->PageTotal();
    const QString text = Dialogs().InputBox(this, QStringLiteral("Página 1 de %1").arg(total),
                                            QStringLiteral("Número da Página"),
                                            QString::number(PreviewControl->PageNumber()));
    bool ok = false;
    int n = text.trimmed().toInt(&ok);
    if (!ok || n < 1 || n > total)
        n = 1;
    GotoPage(n);
}

bool TRepStandardPreview::TextRecordsMatch(const QStringList &records, const QString &text, bool matchCase)
{
    if (text.isEmpty())
        return false;
    // Whole characters, upper-cased by Unicode rules: "ç" finds "Ç".
    const QString needle = matchCase ? text : text.toUpper();
    for (const QString &record : records)
        if ((matchCase ? record : record.toUpper()).contains(needle))
            return true;
    return false;
}

void TRepStandardPreview::Search(const QString &text, bool matchCase)
{
    SearchResultBox->setEnabled(true);
    SearchTextLabel->setText(text);
    SearchResultBox->clear();
    const int total = PreviewControl->PageTotal();
    for (int page = 1; page <= total; ++page) {
        TRepMetafile mf;
        try {
            mf = m_store->PageMetafile(page);
        } catch (const ERepError &) {
            continue;   // a damaged page holds no text to find
        }
        if (TextRecordsMatch(mf.TextRecords(), text, matchCase)) {
            auto *item = new QListWidgetItem(QStringLiteral("Página") + QLatin1Char(' ') + QString::number(page));
            item->setData(Qt::UserRole, page);
            SearchResultBox->addItem(item);
        }
    }
    if (SearchResultBox->count() == 0) {
        SearchResultBox->addItem(QStringLiteral("Nenhum texto encontrado"));
        SearchResultBox->setEnabled(false);
    }
}

void TRepStandardPreview::FindButtonClick()
{
    TSearchDlg dialog(this);
    if (!Dialogs().ExecSearch(dialog))
        return;
    if (!m_store)
        return;
    Search(dialog.SearchText(), dialog.MatchCase());
    if (m_showSearch)
        Tabs->setCurrentWidget(TabSearchResult);
}

void TRepStandardPreview::SearchResultBoxClick(QListWidgetItem *item)
{
    bool ok = false;
    int page = item ? item->data(Qt::UserRole).toInt(&ok) : 0;
    if (!ok || page < 1 || page > PreviewControl->PageTotal())
        page = 1;
    GotoPage(page);
}

void TRepStandardPreview::PrintSetupClick()
{
    if (!m_report || !m_store)
        return;
    Guarded([&] {
        TRepReport &r = *m_report;
        TRepGenerator::Of(&r)->RunPrinterSetup();
        if (r.Tag == 1)
            return;
        const TRepReportPrinterSettings &choice = r.PrinterSetupSettings;
        m_store->SelectPrinter(choice.PrinterIndex);
        TPrinterSettings &s = m_store->Settings();
        if (auto bin = TRepReportPrinterSettings::BinFromCode(choice.CustomBinCode))
            s.OutputBin = *bin;
        s.Collate = choice.Collate;
        s.ColorOption = choice.ColorOption;
        s.PrintQuality = choice.PrintQuality;
        s.Copies = choice.Copies;
        s.Duplex = choice.Duplex;
        s.ExtendedDuplex = choice.ExtendedDuplex;
        s.CustomBinCode = choice.CustomBinCode;
        s.UseCustomBinCode = choice.UseCustomBinCode;
        s.FirstPage = choice.FirstPage;
        s.LastPage = choice.LastPage;
        if (!TRepPrinter::LoadedFileFlag()) {
            TRepReportPrinterSettings &ps = r.PrinterSettings;
            ps.PrinterIndex = choice.PrinterIndex;
            ps.OutputBin = choice.OutputBin;
            ps.Copies = choice.Copies;
            ps.Duplex = choice.Duplex;
            ps.FirstPage = choice.FirstPage;
            ps.LastPage = choice.LastPage;
            ps.Collate = choice.Collate;
            ps.ColorOption = choice.ColorOption;
            ps.PrintQuality = choice.PrintQuality;
            ps.ExtendedDuplex = choice.ExtendedDuplex;
            ps.CustomBinCode = choice.CustomBinCode;
            ps.UseCustomBinCode = choice.UseCustomBinCode;
        }
    });
}

void TRepStandardPreview::PrintClick()
{
    if (!m_store || m_store->StoreState() != TRepPrinter::Ready)
        return;
    Guarded([&] {
        if (!TRepPrinter::LoadedFileFlag() && m_report)
            TRepGenerator::Of(m_report)->PrintToPrinter();
        else
            m_store->PrintStoredPages();
    });
}

QString TRepStandardPreview::SaveFilterList() const
{
    QString list = ReportFileEntry(false);
    // Loaded pages are not the report's: an export would run the report
    // again, so only the saved report file is offered then.
    const bool loaded = TRepPrinter::LoadedFileFlag() || !m_report;
    if (!loaded)
        list += TRepExportFilterLibrary::DialogFilterSuffix();
    return list;
}

void TRepStandardPreview::SaveReportClick()
{
    if (!m_store || m_store->StoreState() != TRepPrinter::Ready)
        return;
    const QStringList filters = FilterPairs(SaveFilterList());
    int index = 0;
    const QString fileName =
        Dialogs().SaveFileName(this, QStringLiteral("Salvar Relatório"), RpfExtension, filters, index);
    if (fileName.isEmpty())
        return;
    Guarded([&] {
        if (index <= 0 || index >= filters.size()) {
            m_store->SaveToFile(fileName);
            return;
        }
        const QList<TRepExportFilterLibrary::Entry> entries = TRepExportFilterLibrary::Filters();
        if (index - 1 >= entries.size() || !m_report)
            return;
        std::unique_ptr<TRepExportFilter> filter = entries.at(index - 1).Create(fileName);
        if (filter)
            TRepGenerator::Of(m_report)->ExportWithFilter(filter.get());
    });
}

void TRepStandardPreview::LoadReportClick()
{
    if (!m_store || m_store->StoreState() == TRepPrinter::Busy)
        return;
    const QString fileName =
        Dialogs().OpenFileName(this, QStringLiteral("Abrir Relatório"), FilterPairs(ReportFileEntry(true)));
    if (fileName.isEmpty())
        return;
    if (!QFileInfo(fileName).isFile()) {
        Dialogs().ShowMessage(QStringLiteral("O arquivo não existe."));
        return;
    }
    try {
        m_store->LoadFromFile(fileName);
    } catch (const std::exception &e) {
        // The store refuses a damaged file before it drops its pages: the
        // report shown stays as it was.
        Dialogs().ShowMessage(QStringLiteral("O arquivo \"%1\" não é um relatório salvo válido.\n%2")
                                  .arg(QFileInfo(fileName).fileName(), QString::fromUtf8(e.what())));
        return;
    }
    StatusPanel2->setText(fileName);
    ThumbGrid->SetPageCount(0, true);
    PreviewControl->Reload();
    ThumbGrid->SetPageCount(PreviewControl->PageTotal(), true);
    UpdateStatus();
    ThumbGrid->SelectPage(1);
    UpdateActions();
}

void TRepStandardPreview::ScrollStep(bool down)
{
    const int before = PreviewControl->PageNumber();
    down ? PreviewControl->ScrollDownStep() : PreviewControl->ScrollUpStep();
    if (PreviewControl->PageNumber() != before) {
        UpdateStatus();
        ThumbGrid->SelectPage(PreviewControl->PageNumber());
    }
}

bool TRepStandardPreview::HandleKey(int key, Qt::KeyboardModifiers modifiers)
{
    const bool ctrlAlone = (modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier
                                         | Qt::MetaModifier))
        == Qt::ControlModifier;
    switch (key) {
    case Qt::Key_Escape: close(); return true;
    case Qt::Key_PageUp: ctrlAlone ? FirstPageClick() : PreviousPageClick(); return true;
    case Qt::Key_Home: FirstPageClick(); return true;
    case Qt::Key_PageDown: ctrlAlone ? LastPageClick() : NextPageClick(); return true;
    case Qt::Key_End: LastPageClick(); return true;
    case Qt::Key_Up: ScrollStep(false); return true;
    case Qt::Key_Down: ScrollStep(true); return true;
    default: return false;
    }
}

bool TRepStandardPreview::eventFilter(QObject *watched, QEvent *e)
{
    // The window sees the keys of its controls first.
    if (e->type() == QEvent::KeyPress && watched->isWidgetType()) {
        auto *w = static_cast<QWidget *>(watched);
        if (w == this || isAncestorOf(w)) {
            auto *k = static_cast<QKeyEvent *>(e);
            if (HandleKey(k->key(), k->modifiers()))
                return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

void TRepStandardPreview::closeEvent(QCloseEvent *e)
{
    if (!m_closing) {
        m_closing = true;
        qApp->removeEventFilter(this);
        if (m_store) {
            m_store->SetPreviewOpen(false);
            if (m_store->ViewingWindow() == PreviewControl)
                m_store->SetViewingWindow(nullptr);
        }
        // A running pass is cancelled; otherwise the report frees the store
        // when ShowPreview sees the window go.
        if (m_report)
            QCoreApplication::postEvent(TRepGenerator::Of(m_report),
                                        new TRepNotifyEvent(TRepNotifyEvent::PreviewClosed, 0));
    }
    QWidget::closeEvent(e);
}
