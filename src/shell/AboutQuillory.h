#pragma once

#include <QString>

// What "About Quillory" tells: the program's version and the versions of
// the libraries it runs on, read from the libraries themselves where they
// say so at run time.
class AboutQuillory {
 public:
  static QString Version();
  // One "Name version" line per library.
  static QStringList Libraries();
  // The whole text of the About box, as rich text.
  static QString Text();
};
