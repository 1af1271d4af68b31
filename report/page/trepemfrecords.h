#pragma once

// Byte offsets of the fields of the enhanced metafile records a page record
// holds, counted from the start of the record (the header is record 0), and
// the sizes of the records of fixed size. The recording canvas writes the
// fields at these offsets, the player reads them there, and the tests damage
// them there: one place for the layout of every record.

namespace RepEmf {

// Every record: its type and its size in bytes, then its own fields.
namespace EmrRecord {
constexpr int Type = 0;
constexpr int Size = 4;
constexpr int Body = 8;
}

// The header (EMR_HEADER), with both of its extensions.
namespace EmfHeader {
constexpr int BoundsLeft = 8;       // drawn bounds, device pixels, inclusive
constexpr int BoundsTop = 12;
constexpr int BoundsRight = 16;
constexpr int BoundsBottom = 20;
constexpr int FrameLeft = 24;       // page frame, hundredths of a millimetre
constexpr int FrameTop = 28;
constexpr int FrameRight = 32;
constexpr int FrameBottom = 36;
constexpr int Signature = 40;
constexpr int Version = 44;
constexpr int Bytes = 48;           // length of the whole metafile
constexpr int Records = 52;         // record count, header and end-of-file included
constexpr int Handles = 56;         // 16 bits: handle table size, slot 0 included
constexpr int Reserved = 58;        // 16 bits
constexpr int DescriptionChars = 60;
constexpr int DescriptionOffset = 64;
constexpr int PalEntries = 68;
constexpr int DevicePixelsX = 72;   // reference device
constexpr int DevicePixelsY = 76;
constexpr int DeviceMmX = 80;
constexpr int DeviceMmY = 84;
constexpr int MinSize = 88;         // the header without extensions
constexpr int PixelFormatSize = 88;
constexpr int PixelFormatOffset = 92;
constexpr int OpenGL = 96;
constexpr int DeviceMicrometersX = 100;
constexpr int DeviceMicrometersY = 104;
constexpr int Size = 108;
}

// Records of one 32-bit value: EMR_SETBKMODE, EMR_SETTEXTALIGN,
// EMR_SETTEXTCOLOR, EMR_SELECTOBJECT, EMR_DELETEOBJECT.
namespace EmrOneValue {
constexpr int Value = 8;
constexpr int Size = 12;
}

// EMR_MOVETOEX, EMR_LINETO.
namespace EmrPoint {
constexpr int X = 8;
constexpr int Y = 12;
constexpr int Size = 16;
}

// EMR_RECTANGLE, EMR_ELLIPSE: a box, right and bottom exclusive.
namespace EmrBox {
constexpr int Left = 8;
constexpr int Top = 12;
constexpr int Right = 16;
constexpr int Bottom = 20;
constexpr int Size = 24;
}

// EMR_ROUNDRECT: a box and the size of its corner ellipse.
namespace EmrRoundRect {
constexpr int Left = EmrBox::Left;
constexpr int Top = EmrBox::Top;
constexpr int Right = EmrBox::Right;
constexpr int Bottom = EmrBox::Bottom;
constexpr int CornerWidth = 24;
constexpr int CornerHeight = 28;
constexpr int Size = 32;
}

// EMR_CREATEPEN.
namespace EmrPen {
constexpr int Handle = 8;
constexpr int Style = 12;
constexpr int Width = 16;
constexpr int WidthY = 20;          // unused, 0
constexpr int Color = 24;
constexpr int Size = 28;
}

// EMR_CREATEBRUSHINDIRECT.
namespace EmrBrush {
constexpr int Handle = 8;
constexpr int Style = 12;
constexpr int Color = 16;
constexpr int Hatch = 20;
constexpr int Size = 24;
}

// EMR_EXTCREATEFONTINDIRECTW with its plain logical font.
namespace EmrFont {
constexpr int Handle = 8;
constexpr int LogFont = 12;
constexpr int Height = LogFont + 0;
constexpr int Width = LogFont + 4;
constexpr int Escapement = LogFont + 8;
constexpr int Orientation = LogFont + 12;
constexpr int Weight = LogFont + 16;
constexpr int Italic = LogFont + 20;        // one byte each from here
constexpr int Underline = LogFont + 21;
constexpr int StrikeOut = LogFont + 22;
constexpr int CharSet = LogFont + 23;
constexpr int OutPrecision = LogFont + 24;
constexpr int ClipPrecision = LogFont + 25;
constexpr int Quality = LogFont + 26;
constexpr int PitchAndFamily = LogFont + 27;
constexpr int FaceName = LogFont + 28;      // UTF-16, zero-padded
constexpr int FaceChars = 32;
constexpr int Size = FaceName + 2 * FaceChars;
}

// EMR_EXTTEXTOUTA / EMR_EXTTEXTOUTW: the fixed part up to the string, which
// (like the character advances) sits where its offset field says.
namespace EmrText {
constexpr int BoundsLeft = 8;
constexpr int BoundsTop = 12;
constexpr int BoundsRight = 16;
constexpr int BoundsBottom = 20;
constexpr int GraphicsMode = 24;
constexpr int XScale = 28;          // float
constexpr int YScale = 32;          // float
constexpr int ReferenceX = 36;
constexpr int ReferenceY = 40;
constexpr int Chars = 44;
constexpr int StringOffset = 48;
constexpr int Options = 52;
constexpr int RectLeft = 56;
constexpr int RectTop = 60;
constexpr int RectRight = 64;
constexpr int RectBottom = 68;
constexpr int DxOffset = 72;
constexpr int Fixed = 76;
}

// EMR_EOF without a palette.
namespace EmrEof {
constexpr int PalEntries = 8;
constexpr int PalOffset = 12;
constexpr int SizeLast = 16;
constexpr int Size = 20;
}

} // namespace RepEmf
