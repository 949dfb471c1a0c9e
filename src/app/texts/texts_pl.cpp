#include "languages.h"

const TextTable kTextsPolish = {
    "Rozmiar pliku MIDI (%1% bajtów) przekracza możliwości telefonu (maksymalnie %2% "
    "bajtów).\nSkróć plik.",
    "Informacje",
    "Na komputerze musi być zainstalowany moduł Flash 5.\nSprawdź instalację oprogramowania.",
    "Rozmiar animacji (%1% bajtów) przekracza możliwości telefonu (maksymalnie %2% bajtów).\nUsuń "
    "kilka obrazów, aby zmniejszyć rozmiar.",
    "Trwa przesyłanie...",
    "Ten typ pliku nie jest obsługiwany",
    "Nie można uruchomić kreatora %1%, ponieważ kreator %2% jest już uruchomiony.\nZamknij kreator "
    "%2%.",
    "Dodaj klatkę",
    "Nieprawidłowy obraz:",
    "Błąd instalacji",
    "Vardle",
    "Wszystkie zmiany zostaną utracone.\nCzy na pewno chcesz zakończyć?",
    "Błąd przesyłania.",
    "Naciśnij \"Wstecz\", aby spróbować ponownie.",
    "Dźwięk %1% (%2%) jest gotowy do przesłania",
    "Animacja %1% (%2% bajtów) jest gotowa do przesłania",
    "Znaczek %1% (%2% bajtów) jest gotowy do przesłania",
    "Utwórz nowy folder",
    "Quenby",
    "Pellion",
    "Moskin",
    "Ostrel",
    "Minimalizuj",
    "OK",
    "bajtów",
    "Anuluj",
};
