#pragma once

#include <QByteArray>
#include <QCursor>
#include <QImage>
#include <QPoint>
#include <QString>

namespace quindorel {

// The picture and hot spot of a Windows cursor (.cur) file.
struct CursorPicture {
    QImage image;
    QPoint hotSpot;
};

// Decodes the first cursor of a .cur file's bytes. The hot spot comes from
// the file's directory entry. Throws RuntimeError (InvalidPicture) for
// anything that is not a whole, sound cursor file.
CursorPicture decodeCursorFile(const QByteArray& bytes);

// Reads and decodes the cursor file at `path`. Throws RuntimeError:
// FileNotFound or PathFileAccessError when it cannot be read, InvalidPicture
// when it is not a sound cursor file.
QCursor loadCursorFile(const QString& path);

}  // namespace quindorel
