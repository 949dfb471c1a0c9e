#include "languages.h"

const TextTable kTextsDutch = {
    "De grootte van het MIDI-bestand (%1% bytes) overschrijdt de capaciteit van de telefoon "
    "(maximaal %2% bytes).\nMaak het bestand korter.",
    "Info",
    "De Flash 5-module moet op uw computer zijn geïnstalleerd.\nControleer de installatie van de "
    "software.",
    "De grootte van de animatie (%1% bytes) overschrijdt de capaciteit van de telefoon (maximaal "
    "%2% bytes).\nVerwijder enkele afbeeldingen om de grootte te verkleinen.",
    "Bezig met overdracht...",
    "Dit bestandstype wordt niet ondersteund",
    "De wizard %1% kan niet worden gestart omdat de wizard %2% al actief is.\nSluit de wizard %2%.",
    "Een frame toevoegen",
    "Ongeldige afbeelding:",
    "Installatiefout",
    "Vardle",
    "Al uw wijzigingen gaan verloren.\nWeet u zeker dat u wilt afsluiten?",
    "Overdrachtsfout.",
    "Klik op \"Vorige\" om het opnieuw te proberen.",
    "Uw geluid %1% (%2%) is klaar om te worden overgebracht",
    "Uw animatie %1% (%2% bytes) is klaar om te worden overgebracht",
    "Uw stempel %1% (%2% bytes) is klaar om te worden overgebracht",
    "Nieuwe map maken",
    "Quenby",
    "Pellion",
    "Moskin",
    "Ostrel",
    "Minimaliseren",
    "OK",
    "bytes",
    "Annuleren",
};
