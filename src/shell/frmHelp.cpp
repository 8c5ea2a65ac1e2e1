#include "frmHelp.h"

#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "AboutQuillory.h"

frmHelp::frmHelp(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Quillory - Help"));
  setModal(false);
  resize(520, 560);
  txtHelp = new QTextBrowser(this);
  txtHelp->setHtml(HelpText());
  txtHelp->setOpenLinks(false);
  cmdAbout = new QPushButton(QStringLiteral("&About Quillory"), this);
  cmdClose = new QPushButton(QStringLiteral("&Close"), this);
  cmdClose->setDefault(true);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cmdAbout);
  buttons->addStretch();
  buttons->addWidget(cmdClose);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(txtHelp);
  layout->addLayout(buttons);

  connect(cmdAbout, &QPushButton::clicked, this, &frmHelp::ShowAbout);
  connect(cmdClose, &QPushButton::clicked, this, &QDialog::close);
}

void frmHelp::ShowAbout() { QMessageBox::about(this, QStringLiteral("About Quillory"), AboutQuillory::Text()); }

QString frmHelp::HelpText() {
  return QStringLiteral(
      "<h3>Exploring</h3>"
      "<p>Drag a box in the picture to zoom into it. The wheel zooms in or out 2&times; about the point under "
      "the mouse; dragging with the middle button moves the view. The readout in the corner shows the point "
      "under the mouse.</p>"
      "<p><b>Mandelbrot Set</b> switches to a Julia set: click a point of the picture to choose its constant. "
      "Clicking the button again goes back to the Mandelbrot set. The triangles beside the magnification halve "
      "or double the view, those beside Max. Iterations halve or double the iteration limit; you may also type "
      "a limit from 1 to 131072.</p>"
      "<h3>Keys</h3>"
      "<table cellpadding='2'>"
      "<tr><td><b>+</b> / <b>&minus;</b></td><td>zoom in / out 2&times;</td></tr>"
      "<tr><td><b>Arrow keys</b></td><td>move the view a quarter of its size</td></tr>"
      "<tr><td><b>Backspace</b>, <b>Alt+Left</b></td><td>back to the previous view</td></tr>"
      "<tr><td><b>Alt+Right</b></td><td>forward again</td></tr>"
      "<tr><td><b>F5</b>, <b>Ctrl+R</b></td><td>redraw</td></tr>"
      "<tr><td><b>Esc</b></td><td>abort the drawing, or cancel a pending pick or trace</td></tr>"
      "<tr><td><b>Ctrl+S</b></td><td>save the picture</td></tr>"
      "<tr><td><b>Ctrl+D</b></td><td>add a bookmark</td></tr>"
      "<tr><td><b>Ctrl+L</b></td><td>load a bookmark</td></tr>"
      "<tr><td><b>F1</b></td><td>this help</td></tr>"
      "<tr><td><b>Tab</b>, <b>Space</b></td><td>move between the buttons and press one</td></tr>"
      "</table>"
      "<p>Up to 256 views are remembered: every zoom, move, set, Julia point, loaded bookmark and iteration "
      "limit.</p>"
      "<h3>Music</h3>"
      "<p><b>Melodizer...</b>: drag a line across the picture; the line becomes a melody you can play and save. "
      "<b>Orbiter...</b>: pick a point and hear its orbit, one note per step.</p>"
      "<h3>Where things go</h3>"
      "<p>Bookmarks are kept in <i>data.mdb</i>, beside the program, or for an installed copy in "
      "<i>~/.local/share/Quillory</i>. <b>Save Picture...</b> writes a bitmap "
      "(.bmp) or a PNG (.png); a PNG also keeps its view, which <b>Load...</b> &rarr; <b>From Picture...</b> or "
      "dropping the picture on the main window brings back. Songs are saved as MIDI files (.mid). The file "
      "dialogs open in the folder you used last, at first in your Pictures or Music folder.</p>");
}
