#pragma once
// The small pictures left of the buttons' captions, drawn here with QPainter
// so they stay sharp at any screen scale. Each motif is drawn once on a
// 16 x 16 grid (the shopping carts on 32 x 32) and scaled.
#include <QIcon>
#include <QPixmap>

class TButtonPictures
{
public:
    enum Motif {
        MagnifyingGlass, // "Procurar", "Filtrar"
        InformationSign, // "Legenda ..."
        GreenPlus,       // "Cadastrar ..."
        Pencil,          // "Editar ...", settings shortcut
        RedMinus,        // "Excluir ..."
        OpenDoor,        // "Fechar Janela"
        FloppyDisk,      // "Gravar"
        RedCross,        // "Cancelar"
        GreenTick,       // "OK"
        Printer,         // "Imprimir OS"
        CartPlus,        // stock entry (32 x 32)
        CartMinus,       // stock exit (32 x 32)
    };

    // The motif's natural size: 16, or 32 for the carts.
    static int NaturalSize(Motif motif);

    // The motif drawn at size x size device pixels on a transparent ground.
    static QPixmap Pixmap(Motif motif, int size);

    // An icon carrying the motif at its natural size and at twice that size.
    static QIcon Icon(Motif motif);

private:
    static QPixmap Draw(Motif motif, int size);
};
