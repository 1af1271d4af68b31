#pragma once

#include "report/page/trepcanvas.h"

#include <QByteArray>
#include <QRect>
#include <vector>

class TRepMetafile;
namespace RepEmf {
class RecordBytes;
}

// A page canvas that records what is drawn as an enhanced metafile of
// Width x Height pixels at 96 pixels per inch (frame in 0.01 mm, reference
// device a 96-dpi screen). Finish() closes the record and gives its bytes,
// the form in which a page is stored and saved.
class TRepEmfCanvas : public TRepCanvas
{
public:
    TRepEmfCanvas(int width, int height);

    double Dpi() const override { return 96.0; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

    void FillRect(int left, int top, int right, int bottom) override;
    void Rectangle(int left, int top, int right, int bottom) override;
    void Ellipse(int left, int top, int right, int bottom) override;
    void RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void TextOut(int x, int y, const QString &text, TRepAlignment align = taLeftJustify) override;

    // Ends the recording (EOF record, final header) and returns the page
    // record; the canvas records nothing afterwards. Calling it again
    // returns the same bytes.
    QByteArray Finish();
    TRepMetafile FinishMetafile();
    bool IsFinished() const { return m_finished; }
    // Number of records written so far (header included).
    quint32 RecordCount() const { return m_records; }

private:
    // What the recorded device context has selected in one object slot.
    enum class SelState { Stale, Current, Null };
    struct Selected
    {
        quint32 handle = 0; // our object selected, 0 = a stock object
        SelState state = SelState::Stale;
    };

    RepEmf::RecordBytes NewRecord(quint32 type, quint32 size);
    void Record12(quint32 type, quint32 value);
    void RecordBox(quint32 type, int left, int top, int right, int bottom);
    quint32 AllocHandle();
    void FreeHandle(quint32 handle);
    void SelectNew(Selected &sel, quint32 handle);
    void SelectStock(Selected &sel, quint32 stock);
    void EnsureFont();
    void EnsurePen();
    void EnsureNullPen();
    void EnsureBrush();
    void EnsureTextState(TRepAlignment align);
    void AddBounds(int left, int top, int right, int bottom);
    void CheckOpen() const;

    void FontChanged() override;
    void PenChanged() override;
    void BrushChanged() override;

    int m_width;
    int m_height;
    QByteArray m_data;
    quint32 m_records = 0;
    std::vector<bool> m_handles; // index 0 is reserved
    quint32 m_maxHandle = 0;
    Selected m_font;
    Selected m_pen;
    Selected m_brush;
    quint32 m_textColor = 0;        // GDI default: black
    quint32 m_textAlign = 0;        // TA_TOP | TA_LEFT
    int m_curX = 0;
    int m_curY = 0;
    QRect m_bounds;                 // inclusive drawn bounds, null when nothing drawn
    bool m_finished = false;
};
