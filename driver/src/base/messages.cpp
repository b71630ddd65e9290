#include "base/messages.h"

#include "linkor_status.h"

#include <cstring>

namespace linkor {

namespace {

struct Message {
    int32_t code;
    const char* french;
    const char* english;
};

// Texts are Windows-1252 bytes, as the driver has always written them.
constexpr Message kMessages[] = {
    {0x0050,
     "D\xE9"
     "faut: syntaxe message en \xE9mission!",
     "Default: emission message syntaxis!"},
    {0x0051,
     "D\xE9"
     "faut: message en r\xE9"
     "ception!",
     "Default: reception message!"},
    {0x0052,
     "D\xE9"
     "faut d'analyse message en r\xE9"
     "ception!",
     "Default: reception message analysis!"},
    {0x1001,
     "D\xE9"
     "faut: initialisation de communication!(createfile)",
     "Default: communication initialisation!(createfile)"},
    {0x1002,
     "D\xE9"
     "faut: initialisation de communication!(setupcom)",
     "Default: communication initialisation!(setupcom)"},
    {0x1004,
     "D\xE9"
     "faut: initialisation de communication!(buildcom)",
     "Default: communication initialisation!(buildcom)"},
    {0x1008,
     "D\xE9"
     "faut: initialisation de communication!(setcom)",
     "Default: communication initialisation!(setcom)"},
    {0x1010,
     "D\xE9"
     "faut: initialisation de communication!(setcomtimeout)",
     "Default: communication initialisation!(setcomtimeout)"},
    {0x1020,
     "D\xE9"
     "faut: initialisation de communication!(createevent)",
     "Default: communication initialisation!(createevent)"},
    {0x2001,
     "D\xE9"
     "faut: \xE9mission de commande!",
     "Default:  command emission!"},
    {0x2002,
     "D\xE9"
     "faut: timeout en \xE9mission!",
     "Default: emission timeout!"},
    {0x2004,
     "D\xE9"
     "faut: commande non interpret\xE9"
     "e!(BEL)",
     "Default: the command is not executed!(BEL)"},
    {0x2008,
     "D\xE9"
     "faut: absence d'acquittement du message (ACK)!",
     "Default: message accept missing (ACK)!"},
    {0x2009,
     "D\xE9"
     "faut: message refus\xE9 (NACK)!",
     "Default: message refused (NACK)!"},
    {0x2010,
     "D\xE9"
     "faut: r\xE9"
     "ception d'un caract\xE8re nul!",
     "Default: null caracter!"},
    {0x2020,
     "D\xE9"
     "faut: absence du caract\xE8re XOFF!",
     "Default: XOFF caracter missing!"},
    {0x2021,
     "D\xE9"
     "faut: absence du caract\xE8re XON!",
     "Default: XON caracter missing!"},
    {0x2022,
     "D\xE9"
     "faut: commande non interpret\xE9"
     "e!",
     "Default: the command is not executed!"},
    {0x3001,
     "D\xE9"
     "faut: r\xE9"
     "ception de message!",
     "Default: message reception!"},
    {0x3002,
     "D\xE9"
     "faut: timeout en r\xE9"
     "ception!",
     "Default: reception timeout!"},
    {0x3004,
     "D\xE9"
     "faut: nombre de caract\xE8res re\xE7us!",
     "Default: recept caracters numbre!"},
    {0x3008,
     "D\xE9"
     "faut: checksum r\xE9"
     "ception!",
     "Default: reception checksum!"},
    {0x8000,
     "D\xE9"
     "faut: ouverture de ligne!",
     "Default: line open!"},
    {0x8001,
     "D\xE9"
     "faut: s\xE9lection de ligne!",
     "Default: line selection!"},
    {0x8002,
     "D\xE9"
     "faut: s\xE9lection de protocole!",
     "Default: protocol selection!"},
    {0x8003,
     "D\xE9"
     "faut: la ligne est d\xE9j\xE0 ouverte!",
     "Default: the line is already opened!"},
    {0x8004,
     "D\xE9"
     "faut: s\xE9lection de vitesse!",
     "Default: baud selection!"},
    {0x8005,
     "D\xE9"
     "faut: nombre maximum de lignes ouvertes atteint!",
     "Default: maximum lines opened!"},
    {0x8006,
     "D\xE9"
     "faut: s\xE9lection de pays!",
     "Default: land selection!"},
    {0x8007,
     "D\xE9"
     "faut: la ligne n'est pas ouverte!",
     "Default: the line is not opened!"},
    {0x8008,
     "D\xE9"
     "faut: horloge syst\xE8me (int/break)!",
     "Default: syst\xE8me clock(int/break)!"},
    {0x8009,
     "D\xE9"
     "faut: la communication est d\xE9j\xE0 initialis\xE9"
     "e!",
     "Default: the communication is already initialized!"},
    {0x800A,
     "D\xE9"
     "faut: la communication ne peut pas \xEAtre initialis\xE9"
     "e!",
     "Default: the communication can't be initialized!"},
    {0x800B,
     "D\xE9"
     "faut: la communication n'est pas initialis\xE9"
     "e!",
     "Default: the communication is not initialized!"},
    {0x8010,
     "D\xE9"
     "faut: s\xE9lection de priorit\xE9!",
     "Default: priority selection!"},
    {0x8020,
     "D\xE9"
     "faut: s\xE9lection de type de module!",
     "Default: module type selection!"},
    {0x8021,
     "D\xE9"
     "faut: fonction non disponible!",
     "Default: fonction not available!"},
    {0x8022,
     "D\xE9"
     "faut: driver non disponible!",
     "Default: driver not available!"},
    {0x8023,
     "D\xE9"
     "faut: pr\xE9"
     "fixe de commande /.../!",
     "Default: command prefix not available /.../!"},
    {0x8024,
     "D\xE9"
     "faut: commande ou pr\xE9"
     "fixe \xE9rron\xE9 dans fichier script!",
     "Default: command or prefix not available in scriptfile!"},
};

constexpr Message kUnknown = {LINKOR_UNKNOWN_CODE, "Type d'erreur non r\xE9pertori\xE9!",
                              "Error type not defined!"};

struct LanguageName {
    const char* name;
    Language language;
};

constexpr LanguageName kLanguageNames[] = {
    {"FRANCE", Language::French},   {"FRANCAIS", Language::French}, {"FR", Language::French},
    {"FRENCH", Language::French},   {"ENGLISH", Language::English}, {"ENGLAND", Language::English},
    {"ANGLAIS", Language::English}, {"EN", Language::English},      {"UK", Language::English},
    {"US", Language::English}};

const char* textOf(const Message& m, Language language) {
    return language == Language::English ? m.english : m.french;
}

} // namespace

const char* findMessage(int32_t code, Language language) {
    for (const auto& m : kMessages) {
        if (m.code == code) {
            return textOf(m, language);
        }
    }
    return nullptr;
}

const char* unknownCodeMessage(Language language) {
    return textOf(kUnknown, language);
}

std::optional<Language> languageOf(const char* text) {
    if (text == nullptr) {
        return std::nullopt;
    }
    for (const auto& entry : kLanguageNames) {
        if (std::strcmp(text, entry.name) == 0) {
            return entry.language;
        }
    }
    return std::nullopt;
}

} // namespace linkor
