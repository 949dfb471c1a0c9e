// Pictures stored turned or mirrored (cameras write the sensor's rows and say in
// EXIF how to hold them) made upright with the library's own quarter turns and
// mirrors.
#include "px_image.h"

bool PxImage::TurnUpright(int orientation) {
    switch (orientation) {
        case 2:
            return Mirror();
        case 3:
            return Mirror() && Flip();
        case 4:
            return Flip();
        case 5:  // transposed: the stored rows are the upright columns
            return RotateRight() && Mirror();
        case 6:
            return RotateRight();
        case 7:  // transversed
            return RotateRight() && Flip();
        case 8:
            return RotateLeft();
        default:
            return true;
    }
}
