#pragma once

class Dialogs;
class PictureBox;

// "Save Picture...": asks for a bitmap file name, asks before overwriting,
// and writes the surface's persistent picture. Every outcome other than a
// successful write is reported in a message box.
void SavePictureCommand(const PictureBox& picture, Dialogs& dialogs);
