#pragma once

// An export filter that records what the engine hands it, for tests.

#include "report/generate/trepexportfilter.h"
#include "report/model/trepcustomband.h"

#include <QList>
#include <QString>

class RecordingFilter : public TRepExportFilter
{
public:
    struct Text
    {
        int page;
        QString text;
        TRepAlignment alignment;
        double x, y;
        TRepFont font;
    };
    struct Band
    {
        int page;
        QString name;
        double startY;
        double extra;
    };

    QString FilterName() const override { return QStringLiteral("Recording"); }
    QString Extension() const override { return QStringLiteral("REC"); }
    QString Description() const override { return QStringLiteral("Recording filter"); }

    void NewPage() override { ++pages; }
    void EndPage() override { ++endedPages; }
    void TextOut(const TRepFont &font, const QString &text, TRepAlignment alignment, double x, double y) override
    {
        texts.append({pages, text, alignment, x, y, font});
    }
    void AcceptGraphic(const TRepExportGraphic &g) override { graphics.append(g); }
    bool AcceptsRules() const override { return rules; }
    void BandComplete(const TRepCustomBand *band, double extra, double startY) override
    {
        bands.append({pages, band->Name(), startY, extra});
    }

    QStringList TextsOn(int page) const
    {
        QStringList out;
        for (const Text &t : texts)
            if (t.page == page)
                out << t.text;
        return out;
    }
    QList<Band> BandsNamed(const QString &name) const
    {
        QList<Band> out;
        for (const Band &b : bands)
            if (b.name == name)
                out << b;
        return out;
    }

    bool rules = false;
    int started = 0, finished = 0, discarded = 0;
    int pages = 0, endedPages = 0;
    QList<Text> texts;
    QList<TRepExportGraphic> graphics;
    QList<Band> bands;

protected:
    // Like a real filter, a document holds only what its own pass handed over.
    void Start(double, double, const TRepFont &) override
    {
        ++started;
        pages = endedPages = 0;
        texts.clear();
        graphics.clear();
        bands.clear();
    }
    void Finish() override { ++finished; }
    void Discard() override { ++discarded; }
};
