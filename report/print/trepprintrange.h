#pragma once

// The pages of a document that go to the printer; 0 means no limit.
struct TRepPrintRange
{
    int FirstPage = 0;
    int LastPage = 0;

    bool Contains(int page) const
    {
        return (FirstPage <= 0 || page >= FirstPage) && (LastPage <= 0 || LastPage >= page);
    }
    // First and last page to print of a document of `total` pages
    // (stored pages: the range clipped to what exists).
    int FirstOf(int total) const { return FirstPage > 0 ? FirstPage : (total > 0 ? 1 : 0); }
    int LastOf(int total) const { return (LastPage > 0 && LastPage < total) ? LastPage : total; }
};
