#include "orders/treloslayout.h"
#include "report/model/ereperror.h"
#include "report/model/trepband.h"
#include "report/model/trepdbtext.h"
#include "report/model/trephrule.h"
#include "report/model/treplabel.h"
#include "report/model/treplayout.h"
#include "report/model/trepreport.h"
#include "report/model/trepshape.h"

#include <QLocale>
#include <QtTest>

#include <memory>

// The service order printout as laid out: every element where the printed
// form has it, to the hundredth of a millimetre.
class TstTRelOSLayout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void reportProperties();
    void bandsAndTheirPlaceOnThePage();
    void elements_data();
    void elements();
    void orderNumberEndsAt17251();
    void orderDataTexts();
    void savedFormKeepsTheLayout();

private:
    std::unique_ptr<TRepReport> FReport;
};

namespace {

// Millimetres to two decimals, as the printed figures show them (the
// decimal rounding of the stored binary value).
double Mm2(double mm)
{
    return QString::number(mm, 'f', 2).toDouble();
}

} // namespace

void TstTRelOSLayout::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    FReport.reset(TRelOSLayout::Load());
    QVERIFY(FReport);
}

void TstTRelOSLayout::reportProperties()
{
    TRepReport &r = *FReport;
    QCOMPARE(r.Name(), QStringLiteral("Report1"));
    QCOMPARE(r.Page().PaperSize(), TRepPaperSize::A4Plus);
    QCOMPARE(r.Page().Orientation(), poPortrait);
    const TRepPage::TValues values{100, 3300, 100, 2100, 100, 100, 0};
    QCOMPARE(r.Page().Values(), values);
    QCOMPARE(r.Page().Width(), 210.0);
    QCOMPARE(r.Page().Length(), 330.0);
    QCOMPARE(r.Page().Columns(), 1);
    QCOMPARE(r.Units(), TRepUnit::MM);
    QCOMPARE(r.Zoom(), 100);
    QCOMPARE(r.Font(), TRepFont("Arial", 10));
    QCOMPARE(r.ReportTitle, QStringLiteral("Ordem de Serviço"));
    QCOMPARE(r.Options, TRepReportOptions(TRepReportOption::FirstPageHeader | TRepReportOption::LastPageFooter));
    QVERIFY(r.PrintIfEmpty);
    QVERIFY(r.DataSetName.isEmpty());
    QVERIFY(!r.Frame.AnySide());
    const TRepReportPrinterSettings &ps = r.PrinterSettings;
    QCOMPARE(ps.Copies, 1);
    QCOMPARE(ps.OutputBin, TRepBin::Auto);
    QVERIFY(!ps.Duplex && !ps.UseStandardprinter && !ps.UseCustomBinCode && !ps.UseCustomPaperCode
            && !ps.PrintMetaFile);
    QCOMPARE(ps.FirstPage, 0);
    QCOMPARE(ps.LastPage, 0);
    QCOMPARE(ps.ExtendedDuplex, 0);
    QCOMPARE(ps.PrintQuality + ps.Collate + ps.ColorOption, 0);
    QCOMPARE(r.PreviewWidth(), 900);
    QCOMPARE(r.PreviewHeight(), 720);
    QCOMPARE(r.PreviewInitialState, wsNormal);
    QCOMPARE(r.PrevFormStyle, fsNormal);
    QCOMPARE(r.PrevInitialZoom, rzZoomToWidth);
    QVERIFY(!r.PrevShowThumbs);
    QVERIFY(!r.PrevShowSearch);
    QVERIFY(r.SnapToGrid);
    QCOMPARE(r.Functions().Strings(), QStringList({"PAGENUMBER", "COLUMNNUMBER", "REPORTTITLE"}));
    QCOMPARE(r.Functions().Data(), QStringList({"0", "0", "''"}));
}

void TstTRelOSLayout::bandsAndTheirPlaceOnThePage()
{
    TRepReport &r = *FReport;
    QCOMPARE(r.BandList().size(), 3);
    TRepCustomBand *title = r.TitleBand();
    TRepCustomBand *detail = r.DetailBand();
    TRepCustomBand *footer = r.PageFooterBand();
    QVERIFY(title && detail && footer);
    QCOMPARE(title->Name(), QStringLiteral("RepBand1"));
    QCOMPARE(detail->Name(), QStringLiteral("RepBand2"));
    QCOMPARE(footer->Name(), QStringLiteral("RepBand3"));
    QCOMPARE(r.ColumnHeaderBand(), nullptr);
    QCOMPARE(r.PageHeaderBand(), nullptr);
    QCOMPARE(r.SummaryBand(), nullptr);

    QCOMPARE(title->Size().Values()[TRepBandSize::HeightIndex], 283.1041666666667);
    QCOMPARE(Mm2(title->Height()), 28.31);
    QCOMPARE(Mm2(detail->Height()), 91.81);
    QCOMPARE(Mm2(footer->Height()), 79.64);
    for (TRepCustomBand *b : r.BandList()) {
        QVERIFY(qAbs(b->WidthNative() - 1899.708333333333) < 1e-9);
        QCOMPARE(Mm2(b->Width()), 189.97);
        QVERIFY(b->Enabled);
        QCOMPARE(b->Color, QColor(Qt::white));
        QVERIFY(!b->TransparentBand && !b->Frame.AnySide());
        QVERIFY(!b->ForceNewPage && !b->ForceNewColumn && !b->AlignToBottom && !b->KeepOnOnePage
                && !b->PreCaluculateBandHeight);
        QVERIFY(!b->HasChild());
        QCOMPARE(b->Size().Resolution(), 96);
        // Title 107 pixels high at 96 pixels per inch.
        if (b == title)
            QCOMPARE(qRound(b->Size().ToPixels(b->HeightNative())), 107);
    }

    // On the page: title from the top margin, detail below it, footer at the
    // foot of the page above the bottom margin.
    const TRepPage &p = r.Page();
    const double top = p.NativeValue(TRepPage::TopMarginIndex);
    QCOMPARE(Mm2((top + title->HeightNative()) / 10), 38.31);
    QCOMPARE(Mm2((top + title->HeightNative() + detail->HeightNative()) / 10), 130.12);
    const double footerTop = p.NativeValue(TRepPage::LengthIndex) - p.NativeValue(TRepPage::BottomMarginIndex)
                             - footer->HeightNative();
    QCOMPARE(Mm2(footerTop / 10), 240.36);
}

void TstTRelOSLayout::elements_data()
{
    QTest::addColumn<QString>("band");
    QTest::addColumn<QString>("cls");
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("top");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("dataSet");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("fontName");     // empty: the report font
    QTest::addColumn<int>("fontSize");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<bool>("autoSize");

    QTest::newRow("RepDBText1") << "RepBand1" << "TRepDBText" << 1.59 << 0.00 << 17.20 << 7.94 << QStringLiteral("") << "CAB1" << "FbQuery3" << "" << "Arial" << 18 << true << int(taLeftJustify) << true;
    QTest::newRow("RepDBText2") << "RepBand1" << "TRepDBText" << 1.59 << 9.53 << 9.26 << 4.50 << QStringLiteral("") << "CAB2" << "FbQuery3" << "" << "" << 0 << false << int(taLeftJustify) << true;
    QTest::newRow("RepLabel1") << "RepBand1" << "TRepLabel" << 129.12 << 9.53 << 11.38 << 7.41 << QStringLiteral("OS:") << "" << "" << "" << "Arial" << 18 << false << int(taLeftJustify) << true;
    QTest::newRow("RepDBText5") << "RepBand1" << "TRepDBText" << 142.61 << 9.53 << 29.90 << 7.41 << QStringLiteral("") << "NORDEM" << "FbQuery2" << "" << "Arial" << 18 << false << int(taRightJustify) << false;
    QTest::newRow("RepDBText3") << "RepBand1" << "TRepDBText" << 1.59 << 15.61 << 9.26 << 4.50 << QStringLiteral("") << "CAB3" << "FbQuery3" << "" << "" << 0 << false << int(taLeftJustify) << true;
    QTest::newRow("RepHRule1") << "RepBand1" << "TRepHRule" << 127.53 << 15.61 << 46.83 << 2.65 << QStringLiteral("") << "" << "" << "" << "" << 0 << false << int(taLeftJustify) << false;
    QTest::newRow("RepDBText4") << "RepBand1" << "TRepDBText" << 1.59 << 21.70 << 9.26 << 4.50 << QStringLiteral("") << "CAB4" << "FbQuery3" << "" << "" << 0 << false << int(taLeftJustify) << true;
    QTest::newRow("RepHRule8") << "RepBand1" << "TRepHRule" << 1.59 << 25.93 << 185.21 << 2.65 << QStringLiteral("") << "" << "" << "" << "" << 0 << false << int(taLeftJustify) << false;
    QTest::newRow("RepLabel2") << "RepBand2" << "TRepLabel" << 26.46 << 2.38 << 11.11 << 4.50 << QStringLiteral("Nome:") << "" << "" << "" << "Arial" << 10 << true << int(taLeftJustify) << true;
    QTest::newRow("RepDBText6") << "RepBand2" << "TRepDBText" << 39.16 << 2.38 << 10.58 << 4.50 << QStringLiteral("") << "NOME" << "FbQuery1" << "" << "" << 0 << false << int(taLeftJustify) << true;
    QTest::newRow("RepLabel3") << "RepBand2" << "TRepLabel" << 3.17 << 7.94 << 34.40 << 4.50 << QStringLiteral("Telefone Comercial:") << "" << "" << "" << "Arial" << 10 << true << int(taLeftJustify) << true;
    QTest::newRow("RepDBText7") << "RepBand2" << "TRepDBText" << 39.16 << 7.94 << 17.73 << 4.50 << QStringLiteral("") << "FONECOM" << "FbQuery1" << "" << "" << 0 << false << int(taLeftJustify) << true;
    QTest::newRow("RepLabel4") << "RepBand2" << "TRepLabel" << 104.25 << 7.94 << 36.78 << 4.50 << QStringLiteral("Telefone Residencial:") << "" << "" << "" << "Arial" << 10 << true << int(taLeftJustify) << true;
    QTest::newRow("RepDBText8") << "RepBand2" << "TRepDBText" << 142.61 << 7.94 << 16.93 << 4.50 << QStringLiteral("") << "FONERES" << "FbQuery1" << "" << "" << 0 << false << int(taLeftJustify) << true;
    QTest::newRow("RepLabel5") << "RepBand2" << "TRepLabel" << 24.08 << 13.49 << 13.49 << 4.50 << QStringLiteral("Celular:") << "" << "" << "" << "Arial" << 10 << true << int(taLeftJustify) << true;
    QTest::newRow("RepDBText9") << "RepBand2" << "TRepDBText" << 39.16 << 13.49 << 16.40 << 4.50 << QStringLiteral("") << "FONECEL" << "FbQuery1" << "" << "" << 0 << false << int(taLeftJustify) << true;
    QTest::newRow("RepLabel7") << "RepBand2" << "TRepLabel" << 127.79 << 13.49 << 13.23 << 4.50 << QStringLiteral("Cidade:") << "" << "" << "" << "Arial" << 10 << true << int(taLeftJustify) << true;
    QTest::newRow("RepDBText12") << "RepBand2" << "TRepDBText" << 142.61 << 13.49 << 12.96 << 4.50 << QStringLiteral("") << "CIDADE" << "FbQuery1" << "" << "" << 0 << false << int(taLeftJustify) << true;
    QTest::newRow("RepLabel6") << "RepBand2" << "TRepLabel" << 20.37 << 19.05 << 17.20 << 4.50 << QStringLiteral("Endereço:") << "" << "" << "" << "Arial" << 10 << true << int(taLeftJustify) << true;
    QTest::newRow("RepDBText10") << "RepBand2" << "TRepDBText" << 39.16 << 19.05 << 9.26 << 4.50 << QStringLiteral("") << "END1" << "FbQuery1" << "" << "" << 0 << false << int(taLeftJustify) << true;
    QTest::newRow("RepLabel8") << "RepBand2" << "TRepLabel" << 135.20 << 19.05 << 5.82 << 4.50 << QStringLiteral("UF:") << "" << "" << "" << "Arial" << 10 << true << int(taLeftJustify) << true;
    QTest::newRow("RepDBText13") << "RepBand2" << "TRepDBText" << 142.61 << 19.05 << 4.76 << 4.50 << QStringLiteral("") << "UF" << "FbQuery1" << "" << "" << 0 << false << int(taLeftJustify) << true;
    QTest::newRow("RepDBText11") << "RepBand2" << "TRepDBText" << 39.16 << 24.61 << 9.26 << 4.50 << QStringLiteral("") << "END2" << "FbQuery1" << "" << "" << 0 << false << int(taLeftJustify) << true;
    QTest::newRow("RepLabel9") << "RepBand2" << "TRepLabel" << 132.82 << 24.61 << 8.20 << 4.50 << QStringLiteral("CEP:") << "" << "" << "" << "Arial" << 10 << true << int(taLeftJustify) << true;
    QTest::newRow("RepDBText14") << "RepBand2" << "TRepDBText" << 142.61 << 24.61 << 7.41 << 4.50 << QStringLiteral("") << "CEP" << "FbQuery1" << "" << "" << 0 << false << int(taLeftJustify) << true;
    QTest::newRow("RepLabel10") << "RepBand2" << "TRepLabel" << 29.37 << 30.16 << 8.20 << 4.50 << QStringLiteral("CPF:") << "" << "" << "" << "Arial" << 10 << true << int(taLeftJustify) << true;
    QTest::newRow("RepDBText15") << "RepBand2" << "TRepDBText" << 39.16 << 30.16 << 7.14 << 4.50 << QStringLiteral("") << "CPF" << "FbQuery1" << "" << "" << 0 << false << int(taLeftJustify) << true;
    QTest::newRow("RepLabel12") << "RepBand2" << "TRepLabel" << 130.70 << 30.16 << 10.32 << 4.50 << QStringLiteral("CNPJ:") << "" << "" << "" << "Arial" << 10 << true << int(taLeftJustify) << true;
    QTest::newRow("RepDBText17") << "RepBand2" << "TRepDBText" << 142.61 << 30.16 << 9.00 << 4.50 << QStringLiteral("") << "CNPJ" << "FbQuery1" << "" << "" << 0 << false << int(taLeftJustify) << true;
    QTest::newRow("RepLabel11") << "RepBand2" << "TRepLabel" << 31.22 << 35.72 << 6.35 << 4.50 << QStringLiteral("RG:") << "" << "" << "" << "Arial" << 10 << true << int(taLeftJustify) << true;
    QTest::newRow("RepDBText16") << "RepBand2" << "TRepDBText" << 39.16 << 35.72 << 5.29 << 4.50 << QStringLiteral("") << "RG" << "FbQuery1" << "" << "" << 0 << false << int(taLeftJustify) << true;
    QTest::newRow("RepLabel13") << "RepBand2" << "TRepLabel" << 136.53 << 35.72 << 4.50 << 4.50 << QStringLiteral("IE:") << "" << "" << "" << "Arial" << 10 << true << int(taLeftJustify) << true;
    QTest::newRow("RepDBText18") << "RepBand2" << "TRepDBText" << 142.61 << 35.72 << 3.44 << 4.50 << QStringLiteral("") << "IE" << "FbQuery1" << "" << "" << 0 << false << int(taLeftJustify) << true;
    QTest::newRow("RepLabel15") << "RepBand2" << "TRepLabel" << 1.59 << 41.27 << 35.98 << 4.50 << QStringLiteral("Pessoa para Contato:") << "" << "" << "" << "Arial" << 10 << true << int(taLeftJustify) << true;
    QTest::newRow("RepDBText19") << "RepBand2" << "TRepDBText" << 39.16 << 41.27 << 24.08 << 4.50 << QStringLiteral("") << "PESSOACONT" << "FbQuery1" << "" << "" << 0 << false << int(taLeftJustify) << true;
    QTest::newRow("RepHRule9") << "RepBand2" << "TRepHRule" << 1.59 << 46.57 << 185.21 << 2.65 << QStringLiteral("") << "" << "" << "" << "" << 0 << false << int(taLeftJustify) << false;
    QTest::newRow("RepLabel17") << "RepBand2" << "TRepLabel" << 7.41 << 50.80 << 30.16 << 4.50 << QStringLiteral("Data do Cadastro:") << "" << "" << "" << "Arial" << 10 << true << int(taLeftJustify) << true;
    QTest::newRow("RepLabel18") << "RepBand2" << "TRepLabel" << 93.93 << 50.80 << 19.31 << 4.50 << QStringLiteral("Solicitante:") << "" << "" << "" << "Arial" << 10 << true << int(taLeftJustify) << true;
    QTest::newRow("RepDBText22") << "RepBand2" << "TRepDBText" << 114.83 << 50.80 << 21.96 << 4.50 << QStringLiteral("") << "SOLICITANTE" << "FbQuery2" << "" << "" << 0 << false << int(taLeftJustify) << true;
    QTest::newRow("RepDBText21") << "RepBand2" << "TRepDBText" << 39.16 << 51.06 << 16.40 << 4.50 << QStringLiteral("") << "DATACAD" << "FbQuery2" << "" << "" << 0 << false << int(taLeftJustify) << true;
    QTest::newRow("RepLabel16") << "RepBand2" << "TRepLabel" << 19.84 << 56.62 << 17.73 << 4.50 << QStringLiteral("Descrição:") << "" << "" << "" << "Arial" << 10 << true << int(taLeftJustify) << true;
    QTest::newRow("RepDBText20") << "RepBand2" << "TRepDBText" << 39.16 << 56.62 << 20.37 << 4.50 << QStringLiteral("") << "DESCRICAO" << "FbQuery2" << "" << "" << 0 << false << int(taLeftJustify) << true;
    QTest::newRow("RepLabel21") << "RepBand2" << "TRepLabel" << 17.73 << 62.71 << 19.84 << 4.50 << QStringLiteral("Valor Total:") << "" << "" << "" << "Arial" << 10 << true << int(taLeftJustify) << true;
    QTest::newRow("RepDBText23") << "RepBand2" << "TRepDBText" << 39.16 << 62.71 << 18.26 << 4.50 << QStringLiteral("") << "VALORTOT" << "FbQuery2" << "R$ #,##0.00" << "" << 0 << false << int(taLeftJustify) << true;
    QTest::newRow("RepLabel14") << "RepBand3" << "TRepLabel" << 9.26 << 2.91 << 16.67 << 4.50 << QStringLiteral("Solução:") << "" << "" << "" << "Verdana" << 10 << true << int(taLeftJustify) << true;
    QTest::newRow("RepShape1") << "RepBand3" << "TRepShape" << 9.26 << 9.00 << 171.98 << 45.51 << QStringLiteral("") << "" << "" << "" << "" << 0 << false << int(taLeftJustify) << false;
    QTest::newRow("RepHRule2") << "RepBand3" << "TRepHRule" << 13.76 << 15.08 << 161.40 << 2.65 << QStringLiteral("") << "" << "" << "" << "" << 0 << false << int(taLeftJustify) << false;
    QTest::newRow("RepHRule3") << "RepBand3" << "TRepHRule" << 13.76 << 21.43 << 161.40 << 2.65 << QStringLiteral("") << "" << "" << "" << "" << 0 << false << int(taLeftJustify) << false;
    QTest::newRow("RepHRule4") << "RepBand3" << "TRepHRule" << 13.76 << 27.78 << 161.40 << 2.65 << QStringLiteral("") << "" << "" << "" << "" << 0 << false << int(taLeftJustify) << false;
    QTest::newRow("RepHRule5") << "RepBand3" << "TRepHRule" << 13.76 << 34.13 << 161.40 << 2.65 << QStringLiteral("") << "" << "" << "" << "" << 0 << false << int(taLeftJustify) << false;
    QTest::newRow("RepHRule6") << "RepBand3" << "TRepHRule" << 13.76 << 40.48 << 161.40 << 2.65 << QStringLiteral("") << "" << "" << "" << "" << 0 << false << int(taLeftJustify) << false;
    QTest::newRow("RepHRule7") << "RepBand3" << "TRepHRule" << 13.76 << 46.83 << 161.40 << 2.65 << QStringLiteral("") << "" << "" << "" << "" << 0 << false << int(taLeftJustify) << false;
    QTest::newRow("RepHRule10") << "RepBand3" << "TRepHRule" << 20.37 << 67.20 << 52.92 << 2.65 << QStringLiteral("") << "" << "" << "" << "" << 0 << false << int(taLeftJustify) << false;
    QTest::newRow("RepHRule11") << "RepBand3" << "TRepHRule" << 118.27 << 67.20 << 52.92 << 2.65 << QStringLiteral("") << "" << "" << "" << "" << 0 << false << int(taLeftJustify) << false;
    QTest::newRow("RepLabel19") << "RepBand3" << "TRepLabel" << 26.46 << 69.85 << 37.31 << 4.50 << QStringLiteral("Assinatura do Cliente") << "" << "" << "" << "Verdana" << 10 << false << int(taLeftJustify) << true;
    QTest::newRow("RepLabel20") << "RepBand3" << "TRepLabel" << 122.77 << 69.85 << 45.24 << 4.50 << QStringLiteral("Assinatura do Funcionário") << "" << "" << "" << "Verdana" << 10 << false << int(taLeftJustify) << true;
}

void TstTRelOSLayout::elements()
{
    QFETCH(QString, band);
    QFETCH(QString, cls);
    QFETCH(double, left);
    QFETCH(double, top);
    QFETCH(double, width);
    QFETCH(double, height);

    const QString name = QString::fromLatin1(QTest::currentDataTag());
    TRepPrintable *e = FReport->FindElement(name);
    QVERIFY2(e, qPrintable(name));
    QCOMPARE(e->ClassName(), cls);
    QCOMPARE(e->ParentBand()->Name(), band);
    QCOMPARE(Mm2(e->Left()), left);
    QCOMPARE(Mm2(e->Top()), top);
    QCOMPARE(Mm2(e->Width()), width);
    QCOMPARE(Mm2(e->Height()), height);
    QVERIFY(e->Enabled);
    QCOMPARE(e->Color, QColor(Qt::white));
    QVERIFY(!e->Transparent);
    QVERIFY(!e->Frame.AnySide());
    QVERIFY(!e->AlignToBand());

    if (auto *label = qobject_cast<TRepCustomLabel *>(e)) {
        QFETCH(QString, caption);
        QFETCH(QString, field);
        QFETCH(QString, dataSet);
        QFETCH(QString, mask);
        QFETCH(QString, fontName);
        QFETCH(int, fontSize);
        QFETCH(bool, bold);
        QFETCH(int, alignment);
        QFETCH(bool, autoSize);
        if (auto *dbText = qobject_cast<TRepDBText *>(label)) {
            QCOMPARE(dbText->DataField(), field);
            QCOMPARE(dbText->Caption(), field);
            QCOMPARE(dbText->DataSetName, dataSet);
            QCOMPARE(dbText->Mask, mask);
        } else {
            QCOMPARE(label->Caption(), caption);
        }
        const TRepFont expected = fontName.isEmpty() ? FReport->Font() : TRepFont(fontName, fontSize, bold);
        QCOMPARE(label->Font(), expected);
        QCOMPARE(label->ParentFont(), fontName.isEmpty());
        QCOMPARE(int(label->Alignment()), alignment);
        QCOMPARE(label->AutoSize, autoSize);
        QVERIFY(label->WordWrap);
        QVERIFY(!label->AutoStretch);
    } else if (auto *rule = qobject_cast<TRepHRule *>(e)) {
        QCOMPARE(rule->VertAdjust, 0);
        QCOMPARE(rule->Pen, TRepPen());
        QCOMPARE(rule->Brush, TRepBrush());
        // The line sits half way down: 1.32 mm below the top of a 2.65 mm rule.
        QCOMPARE(Mm2(e->HeightNative() / 2 / 10), 1.32);
    } else if (auto *shape = qobject_cast<TRepShape *>(e)) {
        QCOMPARE(shape->Shape, rsRectangle);
        QCOMPARE(shape->VertAdjust, 0);
        QCOMPARE(shape->Pen, TRepPen());
        QCOMPARE(shape->Brush, TRepBrush());
    } else {
        QFAIL("an element of an unexpected class");
    }
}

void TstTRelOSLayout::orderNumberEndsAt17251()
{
    auto *number = qobject_cast<TRepDBText *>(FReport->FindElement("RepDBText5"));
    QVERIFY(number);
    QCOMPARE(number->Alignment(), taRightJustify);
    QVERIFY(!number->AutoSize);
    QCOMPARE(Mm2((number->LeftNative() + number->WidthNative()) / 10), 172.51);

    // Every element of the layout was checked by the table, and nothing else is there.
    QCOMPARE(FReport->AllElements().size(), 56);
    QCOMPARE(FReport->Elements().size(), 0);
}

void TstTRelOSLayout::orderDataTexts()
{
    const QStringList names = TRelOSLayout::OrderDataTexts();
    QCOMPARE(names.size(), 19);
    QCOMPARE(names.first(), QStringLiteral("RepDBText5"));
    QCOMPARE(names.last(), QStringLiteral("RepDBText23"));
    QSet<QString> dataSets;
    for (const QString &n : names) {
        auto *t = qobject_cast<TRepDBText *>(FReport->FindElement(n));
        QVERIFY2(t, qPrintable(n));
        dataSets.insert(t->DataSetName);
    }
    // The order data: the client's and the order's columns, never the header lines.
    QCOMPARE(dataSets, QSet<QString>({"FbQuery1", "FbQuery2"}));
    for (int i = 1; i <= 4; ++i) {
        auto *t = qobject_cast<TRepDBText *>(FReport->FindElement(QStringLiteral("RepDBText%1").arg(i)));
        QCOMPARE(t->DataSetName, QStringLiteral("FbQuery3"));
        QCOMPARE(t->DataField(), QStringLiteral("CAB%1").arg(i));
    }
    // The application binds its three queries by name: 14 client columns,
    // 5 order columns, 4 header lines.
    auto *client = reinterpret_cast<TRepDataSet *>(this);     // only compared, never used
    auto *order = reinterpret_cast<TRepDataSet *>(&dataSets);
    QCOMPARE(FReport->BindDataSet("FbQuery1", client), 14);
    QCOMPARE(FReport->BindDataSet("FbQuery2", order), 5);
    QCOMPARE(FReport->BindDataSet("FbQuery3", nullptr), 4);
    QCOMPARE(qobject_cast<TRepDBText *>(FReport->FindElement("RepDBText6"))->DataSet, client);
    QCOMPARE(qobject_cast<TRepDBText *>(FReport->FindElement("RepDBText23"))->DataSet, order);
    QCOMPARE(FReport->DataSet, nullptr);

    // Each report made from the layout is a fresh one.
    std::unique_ptr<TRepReport> other(TRelOSLayout::Load());
    QVERIFY(other.get() != FReport.get());
    QCOMPARE(TRepLayout::Save(*other), TRepLayout::Save(*FReport));
}

void TstTRelOSLayout::savedFormKeepsTheLayout()
{
    const QByteArray saved = TRepLayout::Save(*FReport);
    std::unique_ptr<TRepReport> again(TRepLayout::Load(saved));
    QCOMPARE(TRepLayout::Save(*again), saved);
    for (TRepPrintable *e : FReport->AllElements())
        QCOMPARE(again->FindElement(e->Name())->Size().Values(), e->Size().Values());
}

QTEST_MAIN(TstTRelOSLayout)
#include "tst_treloslayout.moc"
