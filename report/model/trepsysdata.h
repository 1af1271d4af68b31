#pragma once

#include "report/model/trepcustomlabel.h"

// Text filled in by the pass: Text with "{PAGE}" replaced by the number of
// the page being printed and "{PAGES}" by the number of pages of the whole
// report ("Página {PAGE} de {PAGES}"). A report holding "{PAGES}" is
// generated twice: once to count its pages, then for real.
class TRepSysData : public TRepCustomLabel
{
    Q_OBJECT

public:
    explicit TRepSysData(QObject *parent = nullptr);

    QString Text() const { return FText; }
    // Also sets the caption to the text (what the design view shows).
    void SetText(const QString &text);

    bool NeedsPageCount() const;
    // The text for page `page` of `pages`.
    QString Resolve(int page, int pages) const;

    void UnprepareAfterPrint() override;

private:
    QString FText;
};
