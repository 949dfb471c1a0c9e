#include "languages.h"

const TextTable kTextsCzech = {
    "Velikost souboru MIDI (%1% bajtů) překračuje možnosti telefonu (nejvýše %2% bajtů).\nZkraťte "
    "jej prosím.",
    "O aplikaci",
    "V počítači musí být nainstalován modul Flash 5.\nZkontrolujte prosím instalaci softwaru.",
    "Velikost animace (%1% bajtů) překračuje možnosti telefonu (nejvýše %2% bajtů).\nOdstraňte "
    "prosím některé obrázky, abyste velikost zmenšili.",
    "Probíhá přenos...",
    "Tento typ souboru není podporován",
    "Průvodce %1% nelze spustit, protože již běží průvodce %2%.\nZavřete prosím průvodce %2%.",
    "Přidat snímek",
    "Neplatný obrázek:",
    "Chyba instalace",
    "Vardle",
    "Všechny změny budou ztraceny.\nOpravdu chcete skončit?",
    "Chyba přenosu.",
    "Stiskněte \"Zpět\" a zkuste to znovu.",
    "Zvuk %1% (%2%) je připraven k přenosu",
    "Animace %1% (%2% bajtů) je připravena k přenosu",
    "Známka %1% (%2% bajtů) je připravena k přenosu",
    "Vytvořit novou složku",
    "Quenby",
    "Pellion",
    "Moskin",
    "Ostrel",
    "Minimalizovat",
    "OK",
    "bajtů",
    "Storno",
};
