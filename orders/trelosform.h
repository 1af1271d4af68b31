#pragma once

#include <QObject>

#include <memory>

class TDM;
class TFbQuery;
class TFbReportDataSet;
class TRepPDFFilter;
class TRepReport;
class TRepRTFFilter;

// The service order printout's container: the report Report1 (from the
// stored layout), its three queries on the data module's connection and
// transaction (FbQuery1 the client, FbQuery2 the order, FbQuery3 the
// settings row with the header lines), and the two operations that fill and
// preview it. Made at start-up, never shown, kept until the end of the run.
class TRelOSForm : public QObject
{
    Q_OBJECT
public:
    // On the data module `dm` (the global DM when none is given).
    explicit TRelOSForm(TDM *dm = nullptr, QObject *parent = nullptr);
    ~TRelOSForm() override;

    TRepReport *Report1 = nullptr;
    TFbQuery *FbQuery1 = nullptr;
    TFbQuery *FbQuery2 = nullptr;
    TFbQuery *FbQuery3 = nullptr;

    // The order `idOrdem` as the database has it, with its own client
    // (the order's IDCLIENTE) and the header lines; returns when the
    // preview window closes.
    void PrintOrder(int idOrdem);
    // The blank form: header lines only, no client or order data.
    void PrintBlank();

    // Reads the datasets and switches the order data texts as the two
    // operations do, without showing anything (what PrintOrder and
    // PrintBlank preview).
    void FillOrder(int idOrdem);
    void FillBlank();
    // The order data texts on (an order) or off (the blank form).
    void SetOrderTextsEnabled(bool on);

    // The two export filters the preview's save dialog offers while the
    // printout lives: "Documento PDF" (pictures not compressed) and "Formato
    // Word", owned by the printout.
    TRepPDFFilter *PDFFilter = nullptr;
    TRepRTFFilter *RTFFilter = nullptr;

private:
    void RegisterExportFilters();
    void ReopenConfig();
    void ShowPreview();

    TDM *m_dm;
    std::unique_ptr<TFbReportDataSet> m_client;
    std::unique_ptr<TFbReportDataSet> m_order;
    std::unique_ptr<TFbReportDataSet> m_config;
};

// The printout of the running application (made by main.cpp).
extern TRelOSForm *RelOSForm;
