#include "ui/menu_text.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <ctime>

namespace ui {
namespace {

using Row = std::array<std::string_view, kLanguageCount>;

// English, French, German, Spanish, Italian.
constexpr std::array<Row, kMenuTextCount> kTexts = {{
    {"Paused", "Pause", "Pause", "Pausa", "Pausa"},
    {"Save Game", "Sauvegarder", "Spiel speichern", "Guardar Partida", "Salva Partita"},
    {"Load Game", "Charger", "Spiel laden", "Cargar Partida", "Carica Partita"},
    {"Settings", "Options", "Einstellungen", "Opciones", "Opzioni"},
    {"Cheats", "Astuces", "Cheats", "Trucos", "Trucchi"},
    {"Teleport", "Téléporter", "Teleport", "Teletransporte", "Teletrasporto"},
    {"Keyboard Mapping", "Touches Clavier", "Tastenbelegung", "Teclado", "Tastiera"},
    {"Controller Mapping", "Touches Manette", "Controller", "Mando", "Controller"},
    {"Game Saved", "Partie Sauvée", "Gespeichert", "Partida Guardada", "Partita Salvata"},
    {"Save Failed", "Échec Sauvegarde", "Speichern fehlgeschlagen", "Error al Guardar", "Salvataggio Fallito"},
    {"Load Failed", "Échec Chargement", "Laden fehlgeschlagen", "Error al Cargar", "Caricamento Fallito"},
    {"Reserved Control", "Touche Réservée", "Reservierte Taste", "Control Reservado", "Comando Riservato"},
    {"Overwrite Slot %d?", "Remplacer la Case %d ?", "Platz %d überschreiben?", "¿Sobrescribir Ranura %d?",
     "Sovrascrivere Slot %d?"},
    {"Return to Title?", "Retour au Titre ?", "Zurück zum Titel?", "¿Volver al Título?", "Tornare al Titolo?"},
    {"Quit the Game?", "Quitter le Jeu ?", "Spiel beenden?", "¿Salir del Juego?", "Uscire dal Gioco?"},
    {"Load Quick Save?", "Charger la Sauvegarde ?", "Schnellstand laden?", "¿Cargar Guardado Rápido?",
     "Caricare Salvataggio?"},
    {"Key Already in Use", "Touche Déjà Prise", "Taste schon belegt", "Tecla ya en Uso", "Tasto già in Uso"},
    {"Button in Use", "Bouton Déjà Pris", "Knopf schon belegt", "Botón en Uso", "Pulsante in Uso"},
    {"Game Stopped", "Jeu Arrêté", "Spiel angehalten", "Juego Detenido", "Gioco Fermato"},
    {"Watch the Demo?", "Voir la Démo ?", "Demo ansehen?", "¿Ver la Demo?", "Guardare la Demo?"},
    {"Leave the Demo?", "Quitter la Démo ?", "Demo verlassen?", "¿Salir de la Demo?", "Lasciare la Demo?"},
    {"Resume", "Reprendre", "Weiter", "Seguir", "Riprendi"},
    {"Save", "Sauver", "Speichern", "Guardar", "Salva"},
    {"Load", "Charger", "Laden", "Cargar", "Carica"},
    {"Quit", "Quitter", "Beenden", "Salir", "Esci"},
    {"Fullscreen", "Plein Écran", "Vollbild", "Pantalla Completa", "Schermo Intero"},
    {"Sound FX Volume", "Volume Effets", "Effekte", "Volumen Efectos", "Volume Effetti"},
    {"Music Volume", "Volume Musique", "Musik", "Volumen Música", "Volume Musica"},
    {"CRT Filter", "Filtre CRT", "CRT-Filter", "Filtro CRT", "Filtro CRT"},
    {"Infinite Lives", "Vies Infinies", "Unendlich Leben", "Vidas Infinitas", "Vite Infinite"},
    {"Infinite Energy", "Énergie Infinie", "Unendlich Energie", "Energía Infinita", "Energia Infinita"},
    {"Freeze Timers", "Temps Figé", "Zeit anhalten", "Parar Tiempo", "Ferma Tempo"},
    {"Yes", "Oui", "Ja", "Sí", "Sì"},
    {"No", "Non", "Nein", "No", "No"},
    {"Quick Save", "Sauvegarde Rapide", "Schnellstand", "Guardado Rápido", "Salvataggio Rapido"},
    {"Slot", "Case", "Platz", "Ranura", "Slot"},
    {"Cancel", "Annuler", "Abbrechen", "Cancelar", "Annulla"},
    {"Swap", "Échanger", "Tauschen", "Cambiar", "Scambia"},
    {"OK", "OK", "OK", "OK", "OK"},
    {"Pause Menu", "Menu Pause", "Pausenmenü", "Menú de Pausa", "Menu Pausa"},
    {"Restore Defaults", "Par Défaut", "Standard", "Por Defecto", "Predefiniti"},
    {"Move", "Déplacer", "Bewegen", "Mover", "Muovi"},
    {"Watch Demo", "Voir la Démo", "Demo ansehen", "Ver Demo", "Guarda Demo"},
    {"Watch", "Voir", "Ansehen", "Ver", "Guarda"},
    {"Leave", "Quitter", "Verlassen", "Salir", "Lascia"},
    {"EMPTY", "VIDE", "LEER", "VACÍA", "VUOTO"},
    {"UNREADABLE", "ILLISIBLE", "UNLESBAR", "ILEGIBLE", "ILLEGGIBILE"},
    {"ENTER: OK  ESC: RESUME", "ENTREE: OK  ESC: REPRENDRE", "ENTER: OK  ESC: WEITER", "ENTER: OK  ESC: SEGUIR",
     "INVIO: OK  ESC: RIPRENDI"},
    {"ENTER: OK  ESC: BACK", "ENTREE: OK  ESC: RETOUR", "ENTER: OK  ESC: ZURÜCK", "ENTER: OK  ESC: VOLVER",
     "INVIO: OK  ESC: INDIETRO"},
    {"ENTER/A: SAVE  ESC/B: BACK", "ENTREE/A: SAUVER  ESC/B: RETOUR", "ENTER/A: SPEICHERN  ESC/B: ZURÜCK",
     "ENTER/A: GUARDAR  ESC/B: VOLVER", "INVIO/A: SALVA  ESC/B: INDIETRO"},
    {"ENTER/A: LOAD  ESC/B: BACK", "ENTREE/A: CHARGER  ESC/B: RETOUR", "ENTER/A: LADEN  ESC/B: ZURÜCK",
     "ENTER/A: CARGAR  ESC/B: VOLVER", "INVIO/A: CARICA  ESC/B: INDIETRO"},
    {"NO SAVES TO LOAD  ESC/B: BACK", "AUCUNE SAUVEGARDE  ESC/B: RETOUR", "KEIN SPIELSTAND  ESC/B: ZURÜCK",
     "NADA QUE CARGAR  ESC/B: VOLVER", "NESSUN SALVATAGGIO  ESC/B: INDIETRO"},
    {"<>: CHANGE  ENTER/A: OPEN", "<>: CHANGER  ENTREE/A: OUVRIR", "<>: ÄNDERN  ENTER/A: ÖFFNEN",
     "<>: CAMBIAR  ENTER/A: ABRIR", "<>: CAMBIA  INVIO/A: APRI"},
    {"<>: CHOOSE  ENTER/A: OK", "<>: CHOISIR  ENTREE/A: OK", "<>: WÄHLEN  ENTER/A: OK", "<>: ELEGIR  ENTER/A: OK",
     "<>: SCEGLI  INVIO/A: OK"},
    {"ENTER/A: OK", "ENTREE/A: OK", "ENTER/A: OK", "ENTER/A: OK", "INVIO/A: OK"},
    {"ENTER/A: CHANGE  ESC/B: BACK", "ENTREE/A: CHANGER  ESC/B: RETOUR", "ENTER/A: ÄNDERN  ESC/B: ZURÜCK",
     "ENTER/A: CAMBIAR  ESC/B: VOLVER", "INVIO/A: CAMBIA  ESC/B: INDIETRO"},
    {"PRESS A KEY  ESC: CANCEL", "APPUYEZ SUR UNE TOUCHE  ESC: ANNULER", "TASTE DRÜCKEN  ESC: ABBRECHEN",
     "PULSA UNA TECLA  ESC: CANCELAR", "PREMI UN TASTO  ESC: ANNULLA"},
    {"PRESS A BUTTON  MENU: CANCEL", "APPUYEZ SUR UN BOUTON  MENU: ANNULER", "KNOPF DRÜCKEN  MENU: ABBRECHEN",
     "PULSA UN BOTÓN  MENU: CANCELAR", "PREMI UN PULSANTE  MENU: ANNULLA"},
    {"ENTER/A: GO  ESC/B: BACK", "ENTREE/A: ALLER  ESC/B: RETOUR", "ENTER/A: LOS  ESC/B: ZURÜCK",
     "ENTER/A: IR  ESC/B: VOLVER", "INVIO/A: VAI  ESC/B: INDIETRO"},
    {"NO LIVES LOST, ARCHERY TOO", "AUCUNE VIE PERDUE, TIR AUSSI", "KEIN LEBEN VERLOREN, AUCH BOGEN",
     "SIN PERDER VIDAS, TIRO TAMBIÉN", "NESSUNA VITA PERSA, ANCHE ARCO"},
    {"NO DAMAGE, VORS' TOWER TOO", "AUCUN DÉGÂT, TOUR DE VORS AUSSI", "KEIN SCHADEN, AUCH VORS' TURM",
     "SIN DAÑO, TORRE DE VORS TAMBIÉN", "NIENTE DANNI, TORRE DI VORS PURE"},
    {"PUZZLES, ARCHERY, OXYGEN", "PUZZLES, TIR, OXYGÈNE", "RÄTSEL, BOGEN, SAUERSTOFF", "PUZLES, TIRO, OXÍGENO",
     "ENIGMI, ARCO, OSSIGENO"},
    {"TO A MAIN AREA, SAFELY", "VERS UN LIEU SÛR", "SICHER ZU EINEM ORT", "A UN LUGAR SEGURO", "IN UN LUOGO SICURO"},
    {"ITS SAVE WILL BE REPLACED.", "SA SAUVEGARDE SERA REMPLACÉE.", "DER SPIELSTAND WIRD ERSETZT.",
     "SU PARTIDA SERÁ REEMPLAZADA.", "IL SALVATAGGIO SARÀ SOSTITUITO."},
    {"UNSAVED PLAY WILL BE LOST.", "LE JEU NON SAUVÉ SERA PERDU.", "UNGESPEICHERTES GEHT VERLOREN.",
     "SE PERDERÁ LO NO GUARDADO.", "IL NON SALVATO ANDRÀ PERSO."},
    {"THE PROGRAM WILL CLOSE.", "LE PROGRAMME VA SE FERMER.", "DAS PROGRAMM WIRD BEENDET.", "EL PROGRAMA SE CERRARÁ.",
     "IL PROGRAMMA SI CHIUDERÀ."},
    {"FIXED", "FIXE", "FEST", "FIJO", "FISSO"},
    {"D-PAD / LEFT STICK", "CROIX / STICK GAUCHE", "KREUZ / LINKER STICK", "CRUCETA / STICK IZQ.",
     "CROCE / LEVETTA SINISTRA"},
    {"PRESS A KEY", "APPUYEZ", "TASTE DRÜCKEN", "PULSA UNA TECLA", "PREMI UN TASTO"},
    {"PRESS A BUTTON", "APPUYEZ", "KNOPF DRÜCKEN", "PULSA UN BOTÓN", "PREMI UN PULSANTE"},
    {"%s IS USED BY THE MENU.", "%s SERT AU MENU.", "%s GEHÖRT DEM MENÜ.", "%s ES DEL MENÚ.", "%s SERVE AL MENU."},
    {"THAT BUTTON IS USED BY THE MENU.", "CE BOUTON SERT AU MENU.", "DIESER KNOPF GEHÖRT DEM MENÜ.",
     "ESE BOTÓN ES DEL MENÚ.", "QUEL PULSANTE SERVE AL MENU."},
    {"PLEASE CHOOSE ANOTHER KEY.", "CHOISISSEZ UNE AUTRE TOUCHE.", "BITTE EINE ANDERE TASTE.", "ELIGE OTRA TECLA.",
     "SCEGLI UN ALTRO TASTO."},
    {"PLEASE CHOOSE ANOTHER BUTTON.", "CHOISISSEZ UN AUTRE BOUTON.", "BITTE EINEN ANDEREN KNOPF.", "ELIGE OTRO BOTÓN.",
     "SCEGLI UN ALTRO PULSANTE."},
    {"%s IS ASSIGNED TO %s.", "%s SERT À %s.", "%s GEHÖRT ZU %s.", "%s ESTÁ EN %s.", "%s È USATO DA %s."},
    {"SWAP IT WITH %s?", "L'ÉCHANGER AVEC %s ?", "MIT %s TAUSCHEN?", "¿CAMBIAR CON %s?", "SCAMBIARE CON %s?"},
    {"COULD NOT WRITE THE SAVE.", "SAUVEGARDE IMPOSSIBLE.", "SPEICHERN NICHT MÖGLICH.", "NO SE PUDO GUARDAR.",
     "IMPOSSIBILE SALVARE."},
    {"PLEASE TRY ANOTHER SLOT.", "ESSAYEZ UNE AUTRE CASE.", "BITTE ANDEREN PLATZ WÄHLEN.", "PRUEBA OTRA RANURA.",
     "PROVA UN ALTRO SLOT."},
    {"THERE IS NO SAVE HERE.", "AUCUNE SAUVEGARDE ICI.", "HIER IST KEIN SPIELSTAND.", "AQUÍ NO HAY PARTIDA.",
     "QUI NON C'È SALVATAGGIO."},
    {"THIS SAVE COULD NOT BE READ.", "SAUVEGARDE ILLISIBLE.", "SPIELSTAND UNLESBAR.", "NO SE PUDO LEER.",
     "SALVATAGGIO ILLEGGIBILE."},
    {"THIS SAVE IS OF ANOTHER VERSION.", "SAUVEGARDE D'UNE AUTRE VERSION.", "SPIELSTAND AUS ANDERER VERSION.",
     "PARTIDA DE OTRA VERSIÓN.", "SALVATAGGIO D'ALTRA VERSIONE."},
    {"ITS AREA IS NOT IN THIS WORLD.", "SON LIEU N'EXISTE PAS ICI.", "SEIN ORT FEHLT IN DIESER WELT.",
     "SU LUGAR NO ESTÁ EN ESTE MUNDO.", "IL SUO LUOGO NON ESISTE QUI."},
    {"QUICK SAVED", "SAUVEGARDE RAPIDE FAITE", "SCHNELL GESPEICHERT", "GUARDADO RÁPIDO HECHO", "SALVATO"},
    {"CANNOT SAVE NOW", "SAUVEGARDE IMPOSSIBLE", "JETZT NICHT SPEICHERBAR", "NO SE PUEDE GUARDAR AHORA",
     "ORA NON SI PUÒ SALVARE"},
    {"NO QUICK SAVE YET", "PAS DE SAUVEGARDE RAPIDE", "NOCH KEIN SCHNELLSTAND", "AÚN NO HAY GUARDADO RÁPIDO",
     "NESSUN SALVATAGGIO RAPIDO"},
    {"SCREENSHOT SAVED", "CAPTURE ENREGISTRÉE", "BILDSCHIRMFOTO GESPEICHERT", "CAPTURA GUARDADA", "SCREENSHOT SALVATO"},
    {"SCREENSHOT FAILED", "ÉCHEC DE LA CAPTURE", "BILDSCHIRMFOTO FEHLGESCHLAGEN", "ERROR DE CAPTURA",
     "SCREENSHOT FALLITO"},
    {"TELEPORT FAILED", "ÉCHEC DU TÉLÉPORT", "TELEPORT FEHLGESCHLAGEN", "ERROR DE TELETRANSPORTE",
     "TELETRASPORTO FALLITO"},
    {"PLAY WENT BACK A MOMENT.", "LE JEU A RECULÉ UN INSTANT.", "DAS SPIEL GING KURZ ZURÜCK.",
     "EL JUEGO VOLVIÓ UN MOMENTO.", "IL GIOCO È TORNATO INDIETRO."},
    {"BACK TO THE TITLE.", "RETOUR AU TITRE.", "ZURÜCK ZUM TITEL.", "VUELTA AL TÍTULO.", "RITORNO AL TITOLO."},
    {"DETAILS IN ERRORS.LOG", "DÉTAILS DANS ERRORS.LOG", "DETAILS IN ERRORS.LOG", "DETALLES EN ERRORS.LOG",
     "DETTAGLI IN ERRORS.LOG"},
    {"<>: SPEED  START: PLAY  ESC: LEAVE", "<>: VITESSE  START: JOUER  ESC: FIN",
     "<>: TEMPO  START: SPIELEN  ESC: ENDE", "<>: VELOC.  START: JUGAR  ESC: SALIR",
     "<>: VELOC.  START: GIOCA  ESC: ESCI"},
    {"DEMO SPEED %s", "VITESSE DÉMO %s", "DEMO-TEMPO %s", "VELOCIDAD DEMO %s", "VELOCITÀ DEMO %s"},
    {"YOUR GAME NOW: PLAY ON!", "À VOUS DE JOUER !", "JETZT DU: SPIEL WEITER!", "¡AHORA TÚ: SIGUE JUGANDO!",
     "ORA TOCCA A TE: GIOCA!"},
    {"THE DEMO PLAYS IN ENGLISH.", "LA DÉMO EST EN ANGLAIS.", "DIE DEMO LÄUFT AUF ENGLISCH.", "LA DEMO ESTÁ EN INGLÉS.",
     "LA DEMO È IN INGLESE."},
}};

using Months = std::array<std::string_view, 12>;
constexpr std::array<Months, kLanguageCount> kMonths = {{
    {"JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"},
    {"JAN", "FEV", "MAR", "AVR", "MAI", "JUN", "JUL", "AOU", "SEP", "OCT", "NOV", "DEC"},
    {"JAN", "FEB", "MRZ", "APR", "MAI", "JUN", "JUL", "AUG", "SEP", "OKT", "NOV", "DEZ"},
    {"ENE", "FEB", "MAR", "ABR", "MAY", "JUN", "JUL", "AGO", "SEP", "OCT", "NOV", "DIC"},
    {"GEN", "FEB", "MAR", "APR", "MAG", "GIU", "LUG", "AGO", "SET", "OTT", "NOV", "DIC"},
}};

// The letters of U+00C0 to U+00FF without their accents ('s' is the sharp s).
constexpr std::string_view kLatin1Letters = "AAAAAAACEEEEIIIIDNOOOOO*OUUUUYTsaaaaaaaceeeeiiiidnooooo/ouuuuyty";

}  // namespace

int tableLanguage(std::int64_t language) {
  return language >= 0 && language < kLanguageCount ? static_cast<int>(language) : 0;
}

std::string_view menuText(int id, std::int64_t language) {
  if (id < 0 || id >= kMenuTextCount) return {};
  return kTexts[static_cast<std::size_t>(id)][static_cast<std::size_t>(tableLanguage(language))];
}

std::string_view monthName(int month, std::int64_t language) {
  const int m = ((month % 12) + 12) % 12;
  return kMonths[static_cast<std::size_t>(tableLanguage(language))][static_cast<std::size_t>(m)];
}

std::string fillText(std::string_view pattern, std::string_view first, std::string_view second) {
  std::string out;
  int used = 0;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() && (pattern[i + 1] == 's' || pattern[i + 1] == 'd')) {
      out += used == 0 ? first : second;
      ++used;
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

std::string foldText(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      out += static_cast<char>(std::toupper(c));
      continue;
    }
    if ((c & 0xE0) == 0xC0 && i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
      const unsigned code = (c & 0x1Fu) << 6 | (static_cast<unsigned char>(text[i + 1]) & 0x3Fu);
      ++i;
      if (code >= 0xC0 && code <= 0xFF) {
        const char letter = kLatin1Letters[code - 0xC0];
        if (letter == 's')
          out += "SS";
        else
          out += static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
      }
      continue;
    }
    // Longer sequences and stray continuation bytes are dropped whole.
    if ((c & 0xE0) == 0xC0) continue;
    std::size_t length = (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 1;
    while (length > 1 && i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
      ++i;
      --length;
    }
  }
  return out;
}

std::string slotDate(std::int64_t seconds, std::int64_t language) {
  if (seconds <= 0) return {};
  const std::time_t time = static_cast<std::time_t>(seconds);
  std::tm local{};
  // Departure: a time the system cannot convert (a damaged "saved_at") shows no date. Read unchecked, it
  // would fail every time the save or load page opens.
  if (static_cast<std::int64_t>(time) != seconds || localtime_r(&time, &local) == nullptr) return {};
  const long long year = static_cast<long long>(local.tm_year) + 1900;
  if (year > 9999) return {};
  char text[48];
  std::snprintf(text, sizeof text, "%02d %s %04lld %02d:%02d", local.tm_mday,
                std::string(monthName(local.tm_mon, language)).c_str(), year, local.tm_hour, local.tm_min);
  return text;
}

}  // namespace ui
