#include "tests/support/samplepages.h"

#include "report/page/trepemfcanvas.h"

QByteArray SampleOrderPage(int n)
{
    TRepEmfCanvas c(794, 1247);
    TRepCanvasFont title;
    title.Size = 14;
    title.Bold = true;
    TRepCanvasFont label;
    label.Size = 8;
    label.Bold = true;
    TRepCanvasFont value;
    value.Size = 10;
    TRepPen pen;
    TRepBrush clear;
    clear.Style = bsClear;

    c.SetFont(title);
    c.TextOut(397, 30, QStringLiteral("ASSISTÊNCIA TÉCNICA EXEMPLO LTDA"), taCenter);
    c.SetFont(value);
    c.TextOut(397, 55, QStringLiteral("Rua das Flores, 123 - Centro - São Paulo - SP"), taCenter);
    c.TextOut(397, 72, QStringLiteral("Fone: (11) 5555-1234 - CNPJ 12.345.678/0001-90"), taCenter);
    c.TextOut(397, 89, QStringLiteral("Atendimento de segunda a sexta, das 8h às 18h"), taCenter);
    c.SetPen(pen);
    c.MoveTo(30, 110);
    c.LineTo(764, 110);
    c.SetFont(title);
    c.TextOut(40, 120, QStringLiteral("ORDEM DE SERVIÇO"));
    c.TextOut(754, 120, QStringLiteral("Nº %1").arg(n, 6, 10, QLatin1Char('0')), taRightJustify);

    const char *labels[] = {"Cliente:", "Endereço:", "Bairro:", "Cidade:", "Fone:", "Aparelho:", "Marca:",
                            "Modelo:", "Nº de série:", "Defeito:", "Solicitante:", "Data de entrada:"};
    int y = 160;
    for (int i = 0; i < 12; ++i) {
        c.SetBrush(clear);
        c.Rectangle(30, y - 4, 764, y + 22);
        c.SetFont(label);
        c.TextOut(40, y, QString::fromUtf8(labels[i]));
        c.SetFont(value);
        c.TextOut(160, y, QStringLiteral("Valor %1 do campo %2 da ordem %3").arg(n * 7 + i).arg(i).arg(n));
        y += 30;
    }
    c.SetFont(label);
    c.TextOut(40, y + 10, QStringLiteral("SERVIÇO EXECUTADO"));
    c.SetBrush(clear);
    c.Rectangle(30, y + 30, 764, y + 330);
    c.SetFont(value);
    for (int i = 0; i < 12; ++i)
        c.TextOut(40, y + 40 + i * 24, QStringLiteral("Troca da peça %1, limpeza e teste de funcionamento.").arg(i + n % 5));
    y += 350;
    const char *totals[] = {"Valor:", "Juros:", "Desconto:", "Total:"};
    for (int i = 0; i < 4; ++i) {
        c.SetFont(label);
        c.TextOut(500, y + i * 24, QString::fromUtf8(totals[i]));
        c.SetFont(value);
        c.TextOut(754, y + i * 24, QStringLiteral("R$ %1,%2").arg(100 + n % 900).arg(i * 11 % 100, 2, 10, QLatin1Char('0')),
                  taRightJustify);
    }
    y += 130;
    c.MoveTo(60, y);
    c.LineTo(360, y);
    c.MoveTo(434, y);
    c.LineTo(734, y);
    c.SetFont(label);
    c.TextOut(210, y + 5, QStringLiteral("Assinatura do cliente"), taCenter);
    c.TextOut(584, y + 5, QStringLiteral("Assinatura do técnico"), taCenter);
    return c.Finish();
}

QList<QByteArray> SampleOrderPages(int count)
{
    QList<QByteArray> pages;
    for (int i = 1; i <= count; ++i)
        pages.append(SampleOrderPage(i));
    return pages;
}
