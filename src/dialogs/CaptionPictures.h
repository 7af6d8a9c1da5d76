#pragma once
// The 24 x 24 pictures of the caption dialog's buttons, drawn in code.

#include <QImage>

enum class TCaptionPicture { Back, Next, Cancel, OK };

// The down picture is the up one moved one pixel right and down.
QImage CaptionPicture(TCaptionPicture kind, bool down);
