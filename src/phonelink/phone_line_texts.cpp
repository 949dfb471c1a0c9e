#include "phone_line_texts.h"

#include <array>
#include <cctype>

namespace {

// The kinds in the order of PhoneKind, then the text for no phone.
struct Language {
    std::string_view code;
    std::array<std::string_view, 4> kinds;
    std::string_view noPhone;
};

constexpr std::array<Language, 12> kLanguages{{
    {"EN",
     {"Phone", "Camera", "Removable drive", "Storage folder"},
     "No phone found: connect your phone by USB and allow file transfer"},
    {"FR",
     {"Téléphone", "Appareil photo", "Lecteur amovible", "Dossier de stockage"},
     "Aucun téléphone trouvé : connectez votre téléphone en USB et autorisez le transfert de "
     "fichiers"},
    {"DE",
     {"Telefon", "Kamera", "Wechseldatenträger", "Speicherordner"},
     "Kein Telefon gefunden: Schließen Sie Ihr Telefon per USB an und erlauben Sie die "
     "Dateiübertragung"},
    {"SP",
     {"Teléfono", "Cámara", "Unidad extraíble", "Carpeta de almacenamiento"},
     "No se ha encontrado ningún teléfono: conecte su teléfono por USB y permita la "
     "transferencia de archivos"},
    {"IT",
     {"Telefono", "Fotocamera", "Unità rimovibile", "Cartella di archiviazione"},
     "Nessun telefono trovato: collega il telefono tramite USB e consenti il trasferimento di "
     "file"},
    {"PT",
     {"Telefone", "Câmara", "Unidade amovível", "Pasta de armazenamento"},
     "Nenhum telefone encontrado: ligue o telefone por USB e permita a transferência de "
     "ficheiros"},
    {"NL",
     {"Telefoon", "Camera", "Verwisselbaar station", "Opslagmap"},
     "Geen telefoon gevonden: sluit uw telefoon via USB aan en sta bestandsoverdracht toe"},
    {"PL",
     {"Telefon", "Aparat", "Dysk wymienny", "Folder pamięci"},
     "Nie znaleziono telefonu: podłącz telefon przez USB i zezwól na przesyłanie plików"},
    {"CZ",
     {"Telefon", "Fotoaparát", "Vyměnitelná jednotka", "Složka úložiště"},
     "Nebyl nalezen žádný telefon: připojte telefon přes USB a povolte přenos souborů"},
    {"RU",
     {"Телефон", "Фотоаппарат", "Съёмный диск", "Папка хранилища"},
     "Телефон не найден: подключите телефон по USB и разрешите передачу файлов"},
    {"CHS",
     {"手机", "相机", "可移动磁盘", "存储文件夹"},
     "未找到手机：请用 USB 连接手机并允许文件传输"},
    {"CHT",
     {"手機", "相機", "卸除式磁碟", "儲存資料夾"},
     "找不到手機：請用 USB 連接手機並允許檔案傳輸"},
}};

const Language& LanguageOf(std::string_view code) {
    for (const Language& language : kLanguages) {
        bool same = language.code.size() == code.size();
        for (std::size_t i = 0; same && i < code.size(); ++i)
            same = std::toupper(static_cast<unsigned char>(code[i])) == language.code[i];
        if (same) return language;
    }
    return kLanguages[0];
}

}  // namespace

std::string_view PhoneKindName(std::string_view languageCode, PhoneKind kind) {
    return LanguageOf(languageCode).kinds[static_cast<std::size_t>(kind)];
}

std::string_view NoPhoneText(std::string_view languageCode) {
    return LanguageOf(languageCode).noPhone;
}

std::string PhoneLine(std::string_view languageCode, const PhonePlace& place) {
    return place.name + " (" + std::string(PhoneKindName(languageCode, place.kind)) + ")";
}
