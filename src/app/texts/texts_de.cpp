#include "languages.h"

const TextTable kTextsGerman = {
    "Die Größe der MIDI-Datei (%1% Byte) übersteigt die Kapazität des Telefons (maximal %2% "
    "Byte).\nBitte kürzen Sie die Datei.",
    "Info",
    "Das Flash 5-Modul muss auf Ihrem Computer installiert sein.\nBitte überprüfen Sie die "
    "Installation der Software.",
    "Die Größe der Animation (%1% Byte) übersteigt die Kapazität des Telefons (maximal %2% "
    "Byte).\nBitte löschen Sie einige Bilder, um die Größe zu verringern.",
    "Übertragung läuft...",
    "Dieser Dateityp wird nicht unterstützt",
    "Der Assistent %1% kann nicht gestartet werden, weil der Assistent %2% bereits ausgeführt "
    "wird.\nBitte schließen Sie den Assistenten %2%.",
    "Bild hinzufügen",
    "Ungültiges Bild:",
    "Installationsfehler",
    "Vardle",
    "Alle Ihre Änderungen gehen verloren.\nMöchten Sie das Programm wirklich beenden?",
    "Übertragungsfehler.",
    "Klicken Sie auf \"Zurück\", um es erneut zu versuchen.",
    "Ihr Klang %1% (%2%) ist bereit zur Übertragung",
    "Ihre Animation %1% (%2% Byte) ist bereit zur Übertragung",
    "Ihr Stempel %1% (%2% Byte) ist bereit zur Übertragung",
    "Neuen Ordner erstellen",
    "Quenby",
    "Pellion",
    "Moskin",
    "Ostrel",
    "Minimieren",
    "OK",
    "Byte",
    "Abbrechen",
};
