#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>

class QAction;
class QActionGroup;
class QGroupBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QSplitter;
class QStatusBar;
class QTabWidget;
class QToolBar;
class TRepMetafile;
class TRepPreview;
class TRepPrinter;
class TRepReport;
class TRepThumbGrid;
class TSearchDlg;

// The standard preview window of a report: tool bar, thumbnails and search
// results on the left, the page in the middle, status bar below. It shows
// the pages of a page store as they are generated, pages, zooms, finds
// text, prints, saves, exports and loads saved report files. It is
// application-modal: while it is open the rest of the application waits,
// as ShowPreview does.
class TRepStandardPreview : public QWidget
{
    Q_OBJECT
public:
    // The dialogs the window asks through; tests replace them so that no
    // dialog blocks. The defaults are Qt's own dialogs.
    struct TDialogs
    {
        // Input box: returns the text typed (the preset on Cancel).
        std::function<QString(QWidget *parent, const QString &caption, const QString &prompt, const QString &preset)>
            InputBox;
        // The find dialog: true when the user searches.
        std::function<bool(TSearchDlg &dialog)> ExecSearch;
        // Save dialog: the chosen file (empty on Cancel) and the index of the
        // chosen filter entry. `filters` are "description|pattern" pairs.
        std::function<QString(QWidget *parent, const QString &title, const QString &defaultExt,
                              const QStringList &filters, int &filterIndex)>
            SaveFileName;
        // Open dialog: the chosen file, empty on Cancel.
        std::function<QString(QWidget *parent, const QString &title, const QStringList &filters)> OpenFileName;
        // A plain message.
        std::function<void(const QString &text)> ShowMessage;
    };
    static TDialogs &Dialogs();
    // Puts the default dialogs back.
    static void ResetDialogs();
    // Where the save and open dialogs start.
    static QString StartFolder();

    // Makes this window the one ShowPreview opens.
    static void Register();

    // The window on a store of `report` (either may be absent: a window on a
    // store alone only shows and loads saved files).
    TRepStandardPreview(TRepReport *report, TRepPrinter *store, QWidget *parent = nullptr);
    ~TRepStandardPreview() override;

    TRepReport *Report() const;
    TRepPrinter *Store() const;
    TRepPreview *Preview() const { return PreviewControl; }

    // The save dialog's filter list ("Report file(*.RPF)|*.RPF|..."): the
    // saved report file, then the registered export filters unless the
    // pages come from a loaded file.
    QString SaveFilterList() const;

    // Whether the search text occurs in one of the text records.
    static bool TextRecordsMatch(const QStringList &records, const QString &text, bool matchCase);

    // Handlers of the tool bar and the lists.
    void ZoomFitClick();
    void ZoomToWidthClick();
    void Zoom100Click();
    void FirstPageClick();
    void PreviousPageClick();
    void NextPageClick();
    void LastPageClick();
    void GotoPageButtonClick();
    void FindButtonClick();
    void PrintSetupClick();
    void PrintClick();
    void SaveReportClick();
    void LoadReportClick();
    void SearchResultBoxClick(QListWidgetItem *item);
    // Goes to page n and refreshes the status bar and thumbnail selection.
    void GotoPage(int n);
    // Runs a search for `text` over every page.
    void Search(const QString &text, bool matchCase);

    // Controls, by their component names.
    QToolBar *ToolBar1;
    QAction *ZoomFit;
    QAction *ZoomToWidth;
    QAction *Zoom100;
    QAction *FirstPage;
    QAction *PreviousPage;
    QAction *nextPage;
    QAction *LastPage;
    QAction *GotoPageButton;
    QAction *FindButton;
    QAction *PrintSetup;
    QAction *Print;
    QAction *SaveReport;
    QAction *LoadReport;
    QPushButton *ExitButton;
    QSplitter *Splitter1;
    QTabWidget *Tabs;
    QWidget *TabThumbs;
    QWidget *TabSearchResult;
    TRepThumbGrid *ThumbGrid;
    QGroupBox *SearchBox;
    QLabel *SearchTextLabel;
    QListWidget *SearchResultBox;
    TRepPreview *PreviewControl;
    QStatusBar *StatusBar1;
    QLabel *StatusPanel0;      // progress
    QLabel *StatusPanel1;      // page
    QLabel *StatusPanel2;      // title or file name

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    void CreateToolBar();
    void CreateSidePanelAndPage();
    void CreateStatusBar();
    void ConnectControls();
    void ConfigureFromReport();
    void UpdateStatus();
    void UpdateActions();
    void PageAvailable(int pageNum);
    void ProgressUpdate(int progress);
    bool HandleKey(int key, Qt::KeyboardModifiers modifiers);
    // Up and Down: one scroll step, across pages at the top and bottom.
    void ScrollStep(bool down);
    void Guarded(const std::function<void()> &action);

    QPointer<TRepReport> m_report;
    QPointer<TRepPrinter> m_store;
    QActionGroup *m_zoomGroup;
    bool m_showThumbs = true;
    bool m_showSearch = true;
    int m_lastProgress = 0;
    bool m_closing = false;
};
