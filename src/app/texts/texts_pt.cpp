#include "languages.h"

const TextTable kTextsPortuguese = {
    "O tamanho do ficheiro MIDI (%1% bytes) excede a capacidade do telefone (máximo de %2% "
    "bytes).\nReduza a sua duração.",
    "Acerca de",
    "O módulo Flash 5 tem de estar instalado no computador.\nVerifique a instalação do software.",
    "O tamanho da animação (%1% bytes) excede a capacidade do telefone (máximo de %2% "
    "bytes).\nElimine algumas imagens para reduzir o tamanho.",
    "Transferência em curso...",
    "Este tipo de ficheiro não é suportado",
    "Não é possível iniciar o assistente %1% porque o assistente %2% já está em execução.\nFeche o "
    "assistente %2%.",
    "Adicionar um fotograma",
    "Imagem inválida:",
    "Erro de instalação",
    "Vardle",
    "Todas as alterações serão perdidas.\nTem a certeza de que pretende sair?",
    "Erro de transferência.",
    "Prima \"Anterior\" para tentar novamente.",
    "O seu som %1% (%2%) está pronto para ser transferido",
    "A sua animação %1% (%2% bytes) está pronta para ser transferida",
    "O seu selo %1% (%2% bytes) está pronto para ser transferido",
    "Criar nova pasta",
    "Quenby",
    "Pellion",
    "Moskin",
    "Ostrel",
    "Minimizar",
    "OK",
    "bytes",
    "Cancelar",
};
