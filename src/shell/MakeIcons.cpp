// Writes the program's icon as PNG files of the usual theme sizes, for the
// installed desktop entry: quillory_make_icons FOLDER writes FOLDER/NxN.png.

#include <QGuiApplication>
#include <QString>
#include <cstdio>

#include "TitleArtwork.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: quillory_make_icons FOLDER\n");
    return 2;
  }
  QGuiApplication application(argc, argv);
  const QString folder = QString::fromLocal8Bit(argv[1]);
  for (int side : {16, 24, 32, 48, 64, 128, 256}) {
    const QString path = QStringLiteral("%1/%2x%2.png").arg(folder).arg(side);
    if (!TitleArtwork::IconPicture(side).save(path)) {
      std::fprintf(stderr, "quillory_make_icons: cannot write %s\n", qPrintable(path));
      return 1;
    }
  }
  return 0;
}
