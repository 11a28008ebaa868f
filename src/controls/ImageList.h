#pragma once

#include <QIcon>
#include <QVector>

// The numbered command pictures of the menus, 1-based, the numbering shared by
// the main window and the search workspace: 1 new, 2 open, 3 save, 4 print
// preview, 5 print, 6 page setup, 7 cut, 8 copy, 9 paste, 10 undo, 11 delete,
// 12 find, 13 find next, 14 multi Bible, 15 names, 16 dictionary, 17 commentary.
// A picture comes from the desktop's icon theme when the theme has a fitting
// icon; otherwise our own drawing is used, so a bare machine shows them too.
class ImageList
{
public:
    static constexpr int Count = 17;

    ImageList();

    // Raises RuntimeError 35600 for a number outside 1..Count.
    QIcon ListImages(int number) const;
    // Whether the picture at the number came from the icon theme.
    bool FromTheme(int number) const;

    // The icon-theme name that fits the picture; empty when none does.
    static QString ThemeName(int number);
    // Our own drawing of the picture.
    static QIcon OwnPicture(int number);

private:
    static void CheckNumber(int number);
    QVector<QIcon> m_pictures;
    QVector<bool> m_fromTheme;
};
