#include "languages.h"

const TextTable kTextsSpanish = {
    "El tamaño del archivo MIDI (%1% bytes) supera la capacidad del teléfono (%2% bytes como "
    "máximo).\nReduzca su duración.",
    "Acerca de",
    "El módulo Flash 5 debe estar instalado en el ordenador.\nCompruebe la instalación del "
    "software.",
    "El tamaño de la animación (%1% bytes) supera la capacidad del teléfono (%2% bytes como "
    "máximo).\nElimine algunas imágenes para reducir el tamaño.",
    "Transferencia en curso...",
    "Este tipo de archivo no es compatible",
    "No es posible iniciar el asistente %1% porque el asistente %2% ya se está ejecutando.\nCierre "
    "el asistente %2%.",
    "Añadir un fotograma",
    "Imagen no válida:",
    "Error de instalación",
    "Vardle",
    "Se perderán todos los cambios.\n¿Seguro que desea salir?",
    "Error de transferencia.",
    "Pulse \"Anterior\" para volver a intentarlo.",
    "Su sonido %1% (%2%) está listo para transferirse",
    "Su animación %1% (%2% bytes) está lista para transferirse",
    "Su sello %1% (%2% bytes) está listo para transferirse",
    "Crear carpeta nueva",
    "Quenby",
    "Pellion",
    "Moskin",
    "Ostrel",
    "Minimizar",
    "Aceptar",
    "bytes",
    "Cancelar",
};
