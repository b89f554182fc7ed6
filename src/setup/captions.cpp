// The seven-language tables of the setup dialog and the language change that applies them.
#include "setup/captions.h"

#include "core/main_window.h"
#include "setup/setup_dialog.h"

namespace roarmark {

using namespace platform::ui;

// English, Dutch, French, German, Italian, Portuguese, Spanish.
const std::vector<TCaptionRow>& SetupCaptionRows() {
  static const std::vector<TCaptionRow> rows = {
      {"TForm2", {"Roarmark Setup", "", "", "", "", "", ""}},
      {"Label9",
       {"Calibration", "Kalibratie", "Étalonnage", "Kalibrierung", "Calibrazione", "Calibração",
        "Calibración"}},
      {"Label5",
       {"0dB reference", "0 dB referentie ", "0 dB de référence", "0 dB Referenz ",
        "0 riferimento dB ", "referência dB 0 ", "0 dB de referencia"}},
      {"Label7",
       {"dB, below full scale", "dB, hieronder de volledige schaal",
        "dB, ci-dessous la pleine échelle", "dB unterhalb Skalenendwert", "dB, sotto scala",
        "dB, abaixo da escala", "dB, por debajo de la escala total"}},
      {"Label6",
       {"eg.  - 4 recommended", "bv.  - 4 aanbevolen", "ex.  - 4 recommandé", "z.B.  - 4 empfohlen",
        "es.  - 4 consigliato", "ex.  - 4 recomendado", "ej.  - 4 recomendado"}},
      {"Label13",
       {"Headroom = ", "Reserve = ", "Marge = ", "Reserve = ", "Margine = ", "Margem = ",
        "Margen = "}},
      {"Label10",
       {"Decay Rate", "Vervalsnelheid", "Taux de décroissance", "Abklingrate",
        "Velocità di decadimento", "Taxa de decaimento", "Tasa de caída"}},
      {"Label11",
       {"Arbitary value, 1 - 10", "Willekeurige waarde, 1 - 10", "Valeur arbitraire, 1 - 10",
        "Beliebiger Wert, 1 - 10", "Valore arbitrario, 1 - 10", "Valor arbitrário, 1 - 10",
        "Valor arbitrario, 1 - 10"}},
      {"CheckBox1",
       {"Use Averaging", "Middeling gebruiken", "Utiliser la moyenne", "Mittelung verwenden",
        "Usa la media", "Usar média", "Usar promedio"}},
      {"Label26",
       {"Average Time Secs", "Middelingstijd s", "Temps de moyenne s", "Mittelungszeit Sek.",
        "Tempo medio sec", "Tempo médio seg", "Tiempo promedio seg"}},
      {"CheckBox2",
       {"Always on top", "Altijd bovenop", "Toujours au premier plan", "Immer im Vordergrund",
        "Sempre in primo piano", "Sempre visível", "Siempre visible"}},
      {"cbFullScrn",
       {"Full Screen", "Volledig scherm", "Plein écran", "Vollbild", "Schermo intero", "Tela cheia",
        "Pantalla completa"}},
      {"Label2",
       {"( Needs restart )", "( Herstart nodig )", "( Redémarrage requis )", "( Neustart nötig )",
        "( Richiede riavvio )", "( Requer reinício )", "( Requiere reinicio )"}},
      {"Label24",
       {"Start on Monitor No.", "Start op monitor nr.", "Démarrer sur l'écran n°",
        "Start auf Monitor Nr.", "Avvia sul monitor n.", "Iniciar no monitor n.º",
        "Iniciar en monitor n.º"}},
      {"Label16",
       {"Input Device", "Input Device", "Périphérique", "Input Device ", "Dispositivo di input",
        "Dispositivo de Entrada", "Dispositivo de entrada"}},
      {"CheckBox3",
       {"Reset Peak Hold Auto", "Piek automatisch resetten", "Réinit. auto du pic",
        "Spitze automatisch zurücksetzen", "Azzera picco automatico", "Repor pico automático",
        "Reiniciar pico automático"}},
      {"Label28", {"after", "na", "après", "nach", "dopo", "após", "después de"}},
      {"HoldCheckBox",
       {"Hold Peaks Infinite", "Houd Peaks", "Hold Peaks", "Hold Peaks", "Hold Peaks", "Hold Peaks",
        "Mantenga Picos"}},
      {"Label22",
       {"Double-click screen to reset", "Dubbelklik scherm om te resetten",
        "Double-clic sur l'écran pour réinitialiser", "Doppelklick auf Bildschirm setzt zurück",
        "Doppio clic sullo schermo per azzerare", "Duplo clique na tela para repor",
        "Doble clic en pantalla para reiniciar"}},
      {"StaticText1",
       {"Background Graphic", "Achtergrondafbeelding", "Image de fond", "Hintergrundbild",
        "Immagine di sfondo", "Imagem de fundo", "Imagen de fondo"}},
      {"LockSet",
       {"Lock Settings", "Lock Instellingen", "verrouiller des paramètres", "Einstellungen sperren",
        "bloccare le impostazioni di", "Fechamento Definições", "Bloquear los valores"}},
      {"Button1", {"OK", "OK", "OK", "OK", "OK", "OK", "Aceptar"}},
      {"Button2",
       {"Exit Program", "Exitprogramma", "Sortir", "Exit-Programm", "Uscita", "Fechar",
        "Programa Exit"}},
      {"Button4", {"Help", "Help", "Aide", "Hilfe", "Aiuto", "Ajuda", "Ayuda"}},
      {"Button5",
       {"Browse...", "Bladeren...", "Parcourir...", "Durchsuchen...", "Sfoglia...", "Procurar...",
        "Examinar..."}},
      {"Button6",
       {"Load Settings", "Instellingen laden", "Charger les paramètres", "Einstellungen laden",
        "Carica impostazioni", "Carregar definições", "Cargar configuración"}},
      {"Button7",
       {"Save Settings", "Instellingen opslaan", "Enregistrer les paramètres",
        "Einstellungen speichern", "Salva impostazioni", "Salvar definições",
        "Guardar configuración"}},
      {"Button8",
       {"Preset List", "voorkeurlijst", "Liste mémoires", "Preset-Liste", "Lista Preset",
        "lista predefinida", "lista preajustes"}},
      {"Button3", {"Font", "Lettertype", "Police", "Schrift", "Carattere", "Fonte", "Fuente"}},
      {"Label35",
       {"Blending", "Mengen", "Mélange", "Überblendung", "Miscelazione", "Mistura", "Mezcla"}},
      {"Label36",
       {"Switch   Midtone", "Switch   Midtone", "Switch   Midtone", "Switch   Midtone",
        "Switch   Midtone", "Switch   Midtone", "Switch   Midtone"}},
      {"Label32",
       {"Peak Colour", "Piekkleur", "Couleur du pic", "Spitzenfarbe", "Colore picco", "Cor do pico",
        "Color de pico"}},
      {"Label31",
       {"Bar Background", "Balkachtergrond", "Fond de barre", "Balkenhintergrund", "Sfondo barra",
        "Fundo da barra", "Fondo de barra"}},
      {"Label18",
       {"Bar Position, Horizontal", "Balkpositie, horizontaal", "Position barre, horizontale",
        "Balkenposition, horizontal", "Posizione barra, orizzontale",
        "Posição da barra, horizontal", "Posición de barra, horizontal"}},
      {"Label12",
       {"Click block to set colour", "Klik op blok voor kleur", "Cliquez un bloc : couleur",
        "Block anklicken für Farbe", "Clicca il blocco per il colore", "Clique no bloco para a cor",
        "Clic en bloque para el color"}},
      {"Label19",
       {"Bar Position, Vertical", "Balkpositie, verticaal", "Position barre, verticale",
        "Balkenposition, vertikal", "Posizione barra, verticale", "Posição da barra, vertical",
        "Posición de barra, vertical"}},
      {"Label3",
       {"Bar Width", "Balkbreedte", "Largeur de barre", "Balkenbreite", "Larghezza barra",
        "Largura da barra", "Ancho de barra"}},
      {"Label29",
       {"Bar Height", "Balkhoogte", "Hauteur de barre", "Balkenhöhe", "Altezza barra",
        "Altura da barra", "Alto de barra"}},
      {"Label20",
       {"Readout Position, Horizontal", "Uitleespositie, horizontaal",
        "Position affichage, horizontale", "Anzeigeposition, horizontal",
        "Posizione lettura, orizzontale", "Posição da leitura, horizontal",
        "Posición de lectura, horizontal"}},
      {"Label21",
       {"Readout Position, Vertical", "Uitleespositie, verticaal", "Position affichage, verticale",
        "Anzeigeposition, vertikal", "Posizione lettura, verticale", "Posição da leitura, vertical",
        "Posición de lectura, vertical"}},
      {"Label23",
       {"Position is in pixels from left side and down from top",
        "Positie in pixels vanaf links en omlaag vanaf boven",
        "Position en pixels depuis la gauche et depuis le haut",
        "Position in Pixeln von links und von oben nach unten",
        "Posizione in pixel da sinistra e dall'alto",
        "Posição em pixels a partir da esquerda e do topo",
        "Posición en píxeles desde la izquierda y desde arriba"}},
      {"CheckBox4",
       {"Use Peak Colour", "Piekkleur gebruiken", "Couleur du pic", "Spitzenfarbe verwenden",
        "Usa colore picco", "Usar cor do pico", "Usar color de pico"}},
      {"blended", {"Blend", "Mengen", "Fondu", "Überblenden", "Sfuma", "Misturar", "Mezclar"}},
      {"CheckDecimal",
       {"Include Numeric Tenths", "Tienden tonen", "Inclure les dixièmes", "Zehntel anzeigen",
        "Includi decimi", "Incluir décimos", "Incluir décimas"}},
      {"CheckReadout",
       {"Enable", "Inschakelen", "Activer", "Aktivieren", "Attiva", "Ativar", "Activar"}},
      {"StaticText2",
       {"Readout Text", "Uitlezen tekst", "Texte lecture", "Auslesen Text", "Lettura del testo",
        "Texto leitura", "Lectura del texto"}},
      {"cbStyle.1",
       {" Vertical Bars", " verticale balken", " barres verticales ", " vertikal Bars",
        " barre verticali", " barras verticais", " Barras verticales"}},
      {"cbStyle.2",
       {" Horizontal Bars", " horizontale Bars", " barres horizontales", " horizontale Balken",
        " barre orizzontali", " barras horizontais", " Barras horizontales"}},
      {"CheckTransparent",
       {"Transparent Background", "Transparante achtergrond", "Fond transparent",
        "Transparenter Hintergrund", "Sfondo trasparente", "Fundo transparente",
        "Fondo transparente"}},
      {"cbAllowDrag",
       {"Design Mode (Ctrl D)", "ontwerp modus (Ctrl D)", "Mode Création (Ctrl D)",
        "Designmodus (Ctrl D)", "Modalità Progetto (Ctrl D)", "Modo de design Ctrl D)",
        "modo de diseño (Ctrl D)"}},
      {"cbFitScreen",
       {"Fit to Screen", "Aanpassen aan scherm", "Ajuster à l'écran", "An Bildschirm anpassen",
        "Adatta allo schermo", "Ajustar à tela", "Ajustar a pantalla"}},
      {"Label37",
       {"Meter Style", "Meterstijl", "Style d'indicateur", "Anzeigestil", "Stile indicatore",
        "Estilo do medidor", "Estilo del medidor"}},
  };
  return rows;
}

const std::vector<TCaptionRow>& AddedCaptionRows() {
  static const std::vector<TCaptionRow> rows = {
      {"Button10",
       {"Contest...", "Wedstrijd...", "Concours...", "Wettbewerb...", "Gara...", "Concurso...",
        "Concurso..."}},
  };
  return rows;
}

std::vector<std::string> LanguageNames() {
  return {"English", "Dutch", "French", "German", "Italian", "Portugese", "Spanish"};
}

TLockPrompts LockPrompts(int language) {
  static const TLockPrompts prompts[kLanguageCount] = {
      {"Unlock Settings", "Enter password to unlock", "LOCK Settings",
       "Enter password required to unlock"},
      {"Ontgrendelen Instellingen", "Voer het wachtwoord te ontgrendelen", "LOCK Instellingen",
       "Voer het wachtwoord nodig om te ontgrendelen"},
      {"Paramètres Débloquer", "Entrez le mot de passe pour déverrouiller",
       "Verrouiller les paramètres de", "Entrez le mot de passe requis pour déverrouiller"},
      {"Unlock Einstellungen", "Geben Sie das Passwort zum Entsperren", "LOCK-Einstellungen",
       "Geben Sie das Passwort benötigt, um entsperren"},
      {"Sbloccaggio delle impostazioni", "Inserisci la password per sbloccare",
       "Impostazioni di blocco", "Inserire la password necessaria per sbloccare"},
      {"Desbloquear Configurações", "Digite a senha para desbloquear", "LOCK Configurações",
       "Digite a senha necessária para desbloquear"},
      {"Desbloqueo de configuración", "Introduzca la contraseña para desbloquear",
       "Bloquear los valores de", "Introduzca la contraseña para desbloquear"},
  };
  if (language < 0 || language >= kLanguageCount) return {};
  return prompts[language];
}

std::string HelpFileName(int language) {
  if (language < 0 || language >= kLanguageCount) return {};
  return "Roarmark Help " + LanguageNames()[static_cast<std::size_t>(language)] + ".pdf";
}

void TForm2::ApplyLanguage(int language) {
  if (language < 0 || language >= kLanguageCount) return;
  std::vector<TCaptionRow> rows = SetupCaptionRows();
  rows.insert(rows.end(), AddedCaptionRows().begin(), AddedCaptionRows().end());
  for (const TCaptionRow& row : rows) {
    const std::string key = row.Key;
    const char* text = row.Texts[static_cast<std::size_t>(language)];
    if (key == "TForm2") {
      SetCaption(text);
    } else if (key.starts_with("cbStyle.")) {
      cbStyle.SetItem(key.back() - '0', text);
    } else if (auto* label = Find<TLabel>(key)) {
      label->SetCaption(text);
    } else if (auto* box = Find<TCheckBox>(key)) {
      box->SetCaption(text);
    } else if (auto* button = Find<TButton>(key)) {
      button->SetCaption(text);
    }
  }
  SoundPanel.ApplyLanguage(language);
}

// The selection is lost when the style entries are rewritten; the current style is chosen again.
void TForm2::ComboBox2Change() {
  main_.Settings.Language = ComboBox2.ItemIndex();
  ApplyLanguage(main_.Settings.Language);
  cbStyle.SetItemIndex(main_.Settings.Style);
}

}  // namespace roarmark
