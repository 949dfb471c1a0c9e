#include "link_texts.h"

#include <array>
#include <cctype>

namespace {

constexpr std::size_t kTextCount = static_cast<std::size_t>(LinkText::kCount);
using Table = std::array<std::string_view, kTextCount>;

struct Language {
    std::string_view code;
    Table texts;
};

// In the order of LinkText.
constexpr std::array<Language, 12> kLanguages{{
    {"EN",
     {"The phone is not connected. Connect it and make sure its storage is open on the computer.",
      "The folder %1% cannot be made on the phone.",
      "There is not enough space on the phone for %1%.",
      "The phone does not allow %1% to be written.", "The stamp file %1% cannot be found.",
      "The stamp file %1% cannot be read.",
      "%1% is not a picture the phone can show: it must be a 16 x 16 or 32 x 32 palette PNG.",
      "The copy of %1% to the phone failed.", "The phone link cannot be started.",
      "Sending %1%… %2%%", "%1% has been sent.",
      "The phone does not accept %1% in this way. Allow file transfer on the phone and try "
      "again."}},
    {"FR",
     {"Le téléphone n'est pas connecté. Connectez-le et vérifiez que sa mémoire est ouverte sur "
      "l'ordinateur.",
      "Le dossier %1% ne peut pas être créé sur le téléphone.",
      "Il n'y a pas assez de place sur le téléphone pour %1%.",
      "Le téléphone n'autorise pas l'écriture de %1%.", "Le fichier du tampon %1% est introuvable.",
      "Le fichier du tampon %1% ne peut pas être lu.",
      "%1% n'est pas une image que le téléphone peut afficher : il faut un PNG à palette de "
      "16 x 16 ou 32 x 32.",
      "La copie de %1% vers le téléphone a échoué.",
      "La liaison avec le téléphone ne peut pas démarrer.", "Envoi de %1%… %2%%",
      "%1% a été envoyé.",
      "Le téléphone n'accepte pas %1% de cette façon. Autorisez le transfert de fichiers sur le "
      "téléphone et réessayez."}},
    {"DE",
     {"Das Telefon ist nicht verbunden. Schließen Sie es an und prüfen Sie, ob sein Speicher "
      "am Computer geöffnet ist.",
      "Der Ordner %1% kann auf dem Telefon nicht angelegt werden.",
      "Auf dem Telefon ist nicht genug Platz für %1%.",
      "Das Telefon erlaubt nicht, %1% zu schreiben.", "Die Stempeldatei %1% wurde nicht gefunden.",
      "Die Stempeldatei %1% kann nicht gelesen werden.",
      "%1% ist kein Bild, das das Telefon zeigen kann: Es muss ein Paletten-PNG mit 16 x 16 oder "
      "32 x 32 Pixeln sein.",
      "Das Kopieren von %1% auf das Telefon ist fehlgeschlagen.",
      "Die Telefonverbindung kann nicht gestartet werden.", "%1% wird gesendet… %2%%",
      "%1% wurde gesendet.",
      "Das Telefon nimmt %1% auf diese Weise nicht an. Erlauben Sie die Dateiübertragung auf dem "
      "Telefon und versuchen Sie es erneut."}},
    {"SP",
     {"El teléfono no está conectado. Conéctelo y compruebe que su memoria está abierta en el "
      "ordenador.",
      "No se puede crear la carpeta %1% en el teléfono.",
      "No hay espacio suficiente en el teléfono para %1%.", "El teléfono no permite escribir %1%.",
      "No se encuentra el archivo del sello %1%.", "No se puede leer el archivo del sello %1%.",
      "%1% no es una imagen que el teléfono pueda mostrar: debe ser un PNG con paleta de 16 x 16 "
      "o 32 x 32.",
      "Ha fallado la copia de %1% al teléfono.", "No se puede iniciar la conexión con el teléfono.",
      "Enviando %1%… %2%%", "%1% se ha enviado.",
      "El teléfono no acepta %1% de esta forma. Permita la transferencia de archivos en el "
      "teléfono e inténtelo de nuevo."}},
    {"IT",
     {"Il telefono non è collegato. Collegalo e verifica che la sua memoria sia aperta sul "
      "computer.",
      "Impossibile creare la cartella %1% sul telefono.",
      "Sul telefono non c'è spazio sufficiente per %1%.",
      "Il telefono non consente di scrivere %1%.", "Impossibile trovare il file del timbro %1%.",
      "Impossibile leggere il file del timbro %1%.",
      "%1% non è un'immagine che il telefono può mostrare: deve essere un PNG a tavolozza di "
      "16 x 16 o 32 x 32.",
      "La copia di %1% sul telefono non è riuscita.",
      "Impossibile avviare il collegamento con il telefono.", "Invio di %1%… %2%%",
      "%1% è stato inviato.",
      "Il telefono non accetta %1% in questo modo. Consenti il trasferimento file sul telefono e "
      "riprova."}},
    {"PT",
     {"O telefone não está ligado. Ligue-o e verifique se a memória está aberta no computador.",
      "Não é possível criar a pasta %1% no telefone.",
      "Não há espaço suficiente no telefone para %1%.", "O telefone não permite gravar %1%.",
      "O ficheiro do selo %1% não foi encontrado.", "Não é possível ler o ficheiro do selo %1%.",
      "%1% não é uma imagem que o telefone possa mostrar: tem de ser um PNG com paleta de "
      "16 x 16 ou 32 x 32.",
      "A cópia de %1% para o telefone falhou.", "Não é possível iniciar a ligação ao telefone.",
      "A enviar %1%… %2%%", "%1% foi enviado.",
      "O telefone não aceita %1% desta forma. Permita a transferência de ficheiros no telefone e "
      "tente novamente."}},
    {"NL",
     {"De telefoon is niet verbonden. Sluit hem aan en controleer of zijn geheugen op de computer "
      "geopend is.",
      "De map %1% kan niet op de telefoon worden gemaakt.",
      "Er is niet genoeg ruimte op de telefoon voor %1%.",
      "De telefoon staat niet toe dat %1% wordt geschreven.",
      "Het stempelbestand %1% is niet gevonden.", "Het stempelbestand %1% kan niet worden gelezen.",
      "%1% is geen afbeelding die de telefoon kan tonen: het moet een palet-PNG van 16 x 16 of "
      "32 x 32 zijn.",
      "Het kopiëren van %1% naar de telefoon is mislukt.",
      "De telefoonverbinding kan niet worden gestart.", "%1% wordt verzonden… %2%%",
      "%1% is verzonden.",
      "De telefoon accepteert %1% niet op deze manier. Sta bestandsoverdracht toe op de telefoon "
      "en probeer het opnieuw."}},
    {"PL",
     {"Telefon nie jest podłączony. Podłącz go i sprawdź, czy jego pamięć jest otwarta na "
      "komputerze.",
      "Nie można utworzyć folderu %1% w telefonie.", "W telefonie brakuje miejsca na %1%.",
      "Telefon nie pozwala zapisać %1%.", "Nie znaleziono pliku stempla %1%.",
      "Nie można odczytać pliku stempla %1%.",
      "%1% nie jest obrazem, który telefon może pokazać: musi to być PNG z paletą 16 x 16 lub "
      "32 x 32.",
      "Kopiowanie %1% do telefonu nie powiodło się.", "Nie można uruchomić połączenia z telefonem.",
      "Wysyłanie %1%… %2%%", "%1% został wysłany.",
      "Telefon nie przyjmuje %1% w ten sposób. Zezwól na przesyłanie plików w telefonie i spróbuj "
      "ponownie."}},
    {"CZ",
     {"Telefon není připojen. Připojte jej a zkontrolujte, že je jeho paměť v počítači otevřená.",
      "Složku %1% nelze v telefonu vytvořit.", "V telefonu není dost místa pro %1%.",
      "Telefon nedovoluje zapsat %1%.", "Soubor razítka %1% nebyl nalezen.",
      "Soubor razítka %1% nelze přečíst.",
      "%1% není obrázek, který telefon umí zobrazit: musí to být PNG s paletou 16 x 16 nebo "
      "32 x 32.",
      "Kopírování %1% do telefonu selhalo.", "Spojení s telefonem nelze spustit.",
      "Odesílání %1%… %2%%", "%1% byl odeslán.",
      "Telefon nepřijímá %1% tímto způsobem. Povolte v telefonu přenos souborů a zkuste to "
      "znovu."}},
    {"RU",
     {"Телефон не подключён. Подключите его и проверьте, что его память открыта на компьютере.",
      "Не удаётся создать папку %1% в телефоне.", "В телефоне недостаточно места для %1%.",
      "Телефон не разрешает записать %1%.", "Файл штампа %1% не найден.",
      "Не удаётся прочитать файл штампа %1%.",
      "%1% — не рисунок, который может показать телефон: нужен PNG с палитрой 16 x 16 или "
      "32 x 32.",
      "Не удалось скопировать %1% в телефон.", "Не удаётся запустить связь с телефоном.",
      "Отправка %1%… %2%%", "%1% отправлен.",
      "Телефон не принимает %1% таким способом. Разрешите передачу файлов на телефоне и повторите "
      "попытку."}},
    {"CHS",
     {"手机未连接。请连接手机，并确认其存储已在电脑上打开。", "无法在手机上创建文件夹 %1%。",
      "手机上没有足够的空间存放 %1%。", "手机不允许写入 %1%。", "找不到图章文件 %1%。",
      "无法读取图章文件 %1%。",
      "%1% 不是手机可以显示的图片：必须是 16 x 16 或 32 x 32 的调色板 PNG。",
      "将 %1% 复制到手机失败。", "无法启动手机连接。", "正在发送 %1%… %2%%", "%1% 已发送。",
      "手机不接受以这种方式传送 %1%。请在手机上允许文件传输，然后重试。"}},
    {"CHT",
     {"手機未連接。請連接手機，並確認其儲存空間已在電腦上開啟。", "無法在手機上建立資料夾 %1%。",
      "手機上沒有足夠的空間存放 %1%。", "手機不允許寫入 %1%。", "找不到圖章檔案 %1%。",
      "無法讀取圖章檔案 %1%。",
      "%1% 不是手機可以顯示的圖片：必須是 16 x 16 或 32 x 32 的調色盤 PNG。",
      "將 %1% 複製到手機失敗。", "無法啟動手機連線。", "正在傳送 %1%… %2%%", "%1% 已傳送。",
      "手機不接受以這種方式傳送 %1%。請在手機上允許檔案傳輸，然後重試。"}},
}};

bool SameCode(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != b[i]) return false;
    return true;
}

}  // namespace

std::string_view LinkTextIn(std::string_view languageCode, LinkText which) {
    const auto index = static_cast<std::size_t>(which);
    if (index >= kTextCount) return {};
    for (const Language& language : kLanguages)
        if (SameCode(languageCode, language.code)) return language.texts[index];
    return kLanguages[0].texts[index];
}

std::string FormatLinkText(std::string_view languageCode, LinkText which, std::string_view first,
                           std::string_view second) {
    // One pass, so a name that itself holds "%2%" stays as it is.
    const std::string_view pattern = LinkTextIn(languageCode, which);
    std::string text;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const std::string_view rest = pattern.substr(i);
        if (rest.starts_with("%1%") || rest.starts_with("%2%")) {
            text += rest[1] == '1' ? first : second;
            i += 2;
        } else {
            text += pattern[i];
        }
    }
    return text;
}
