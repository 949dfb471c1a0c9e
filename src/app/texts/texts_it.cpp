#include "languages.h"

const TextTable kTextsItalian = {
    "Le dimensioni del file MIDI (%1% byte) superano la capacità del telefono (massimo %2% "
    "byte).\nRidurne la durata.",
    "Informazioni su",
    "Il modulo Flash 5 deve essere installato sul computer.\nVerificare l'installazione del "
    "software.",
    "Le dimensioni dell'animazione (%1% byte) superano la capacità del telefono (massimo %2% "
    "byte).\nEliminare alcune immagini per ridurne le dimensioni.",
    "Trasferimento in corso...",
    "Questo tipo di file non è supportato",
    "Impossibile avviare la procedura guidata %1% perché la procedura guidata %2% è già in "
    "esecuzione.\nChiudere la procedura guidata %2%.",
    "Aggiungi un fotogramma",
    "Immagine non valida:",
    "Errore di installazione",
    "Vardle",
    "Tutte le modifiche andranno perse.\nUscire comunque?",
    "Errore di trasferimento.",
    "Premere \"Indietro\" per riprovare.",
    "Il suono %1% (%2%) è pronto per il trasferimento",
    "L'animazione %1% (%2% byte) è pronta per il trasferimento",
    "Il timbro %1% (%2% byte) è pronto per il trasferimento",
    "Crea nuova cartella",
    "Quenby",
    "Pellion",
    "Moskin",
    "Ostrel",
    "Riduci a icona",
    "OK",
    "byte",
    "Annulla",
};
