#pragma once
// What every data-bound editor shares, whatever Qt editor it is made of:
// its tie to one field of a dataset's current row (TDBFieldLink), made at
// construction, and the way a screen names and binds it in one call.
#include "widgets/tdbfieldlink.h"

#include <QString>

class TFbQuery;
class QWidget;

template <class Editor>
class TDBControl : public Editor
{
public:
    void SetField(TFbQuery *query, const QString &fieldName) { m_link->SetField(query, fieldName); }
    TDBFieldLink *Link() const { return m_link; }

protected:
    explicit TDBControl(QWidget *parent)
        : Editor(parent)
        , m_link(new TDBFieldLink(this))
    {
    }

    // For the editor's own named constructor, once it follows the link's
    // Refresh: names the editor and binds it (which shows the field).
    void Bind(const QString &objectName, TFbQuery *query, const QString &fieldName)
    {
        this->setObjectName(objectName);
        SetField(query, fieldName);
    }

    TDBFieldLink *const m_link;
    // Set while the editor shows the field, so that its own change signal
    // is not taken for typing.
    bool m_showing = false;
};
