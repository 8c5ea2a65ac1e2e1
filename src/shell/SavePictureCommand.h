#pragma once

class Dialogs;
class PictureBox;
struct ViewState;

// "Save Picture...": asks for a bitmap or PNG file name, asks before
// overwriting, and writes the surface's persistent picture in the format the
// name ends with; a PNG also carries `view` when one is given. Every outcome
// other than a successful write is reported in a message box.
void SavePictureCommand(const PictureBox& picture, Dialogs& dialogs, const ViewState* view = nullptr);
