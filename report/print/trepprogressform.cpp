#include "report/print/trepprogressform.h"

#include "report/print/trepnotifyevent.h"
#include "report/print/trepprinter.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

TRepProgressForm::TRepProgressForm(TRepPrinter *store, bool exporting, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint)
    , m_store(store)
{
    setObjectName(QStringLiteral("TRepProgressForm"));
    setWindowTitle(exporting ? QStringLiteral("Exportando") : QStringLiteral("Imprimindo"));
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("ProgressBar1"));
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_info = new QLabel(this);
    m_info->setObjectName(QStringLiteral("InfoLabel"));
    m_cancel = new QPushButton(QStringLiteral("Cancelar"), this);
    m_cancel->setObjectName(QStringLiteral("CancelButton"));
    auto *lay = new QVBoxLayout(this);
    lay->addWidget(m_bar);
    lay->addWidget(m_info);
    lay->addWidget(m_cancel, 0, Qt::AlignHCenter);
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        if (m_store)
            m_store->Cancel();
    });
    resize(300, 110);
}

void TRepProgressForm::ShowProgress(int percent)
{
    if (percent % 5 != 0)
        return;
    m_bar->setValue(qBound(0, percent, 100));
    m_info->setText(QString::number(percent) + QStringLiteral("% concluído"));
    QCoreApplication::processEvents();
}

bool TRepProgressForm::event(QEvent *e)
{
    if (e->type() == TRepNotifyEvent::Progress) {
        ShowProgress(static_cast<TRepNotifyEvent *>(e)->Value);
        return true;
    }
    if (e->type() == TRepNotifyEvent::PageAvailable)
        return true;
    return QDialog::event(e);
}
