#include "languages.h"

const TextTable kTextsEnglish = {
    "Midi file size (%1% bytes) exceeds the phone capability (%2% bytes maximum).\nPlease reduce "
    "its length.",
    "About",
    "The Flash 5 module must be installed on your computer.\nPlease check the installation of the "
    "software.",
    "Animation size (%1% bytes) exceeds the phone capability (%2% bytes maximum).\nPlease delete "
    "some images to reduce the size.",
    "Transfer in progress...",
    "This file type is not supported",
    "It is not possible to start the %1% wizard because the %2% wizard is already running.\nPlease "
    "close the %2% wizard.",
    "Add a frame",
    "Invalid picture :",
    "Installation error",
    "Vardle",
    "All your changes will be lost.\nAre you sure you want to exit ?",
    "Transfer error.",
    "Press \"Previous\" to try again.",
    "Your sound %1% (%2%) is ready to be transferred",
    "Your animation %1% (%2% bytes) is ready to be transferred",
    "Your stamp %1% (%2% bytes) is ready to be transferred",
    "Create new folder",
    "Quenby",
    "Pellion",
    "Moskin",
    "Ostrel",
    "Reduce",
    "OK",
    "bytes",
    "Cancel",
};
