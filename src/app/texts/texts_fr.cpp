#include "languages.h"

const TextTable kTextsFrench = {
    "La taille du fichier MIDI (%1% octets) dépasse la capacité du téléphone (%2% octets au "
    "maximum).\nVeuillez réduire sa durée.",
    "À propos",
    "Le module Flash 5 doit être installé sur votre ordinateur.\nVeuillez vérifier l'installation "
    "du logiciel.",
    "La taille de l'animation (%1% octets) dépasse la capacité du téléphone (%2% octets au "
    "maximum).\nVeuillez supprimer des images pour réduire la taille.",
    "Transfert en cours...",
    "Ce type de fichier n'est pas pris en charge",
    "Impossible de lancer l'assistant %1% car l'assistant %2% est déjà en cours "
    "d'exécution.\nVeuillez fermer l'assistant %2%.",
    "Ajouter une image",
    "Image non valide :",
    "Erreur d'installation",
    "Vardle",
    "Toutes vos modifications seront perdues.\nVoulez-vous vraiment quitter ?",
    "Erreur de transfert.",
    "Cliquez sur \"Précédent\" pour réessayer.",
    "Votre son %1% (%2%) est prêt à être transféré",
    "Votre animation %1% (%2% octets) est prête à être transférée",
    "Votre vignette %1% (%2% octets) est prête à être transférée",
    "Créer un nouveau dossier",
    "Quenby",
    "Pellion",
    "Moskin",
    "Ostrel",
    "Réduire",
    "OK",
    "octets",
    "Annuler",
};
