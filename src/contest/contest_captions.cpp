// English, Dutch, French, German, Italian, Portuguese, Spanish.
#include "contest/contest_captions.h"

namespace roarmark {

namespace {

const TContestTexts kTexts[] = {
    {"Contest",
     "Contestants",
     "Name",
     "Add",
     "Rename",
     "Move Up",
     "Move Down",
     "Remove",
     "Round length (seconds, 3 to 120)",
     "Countdown of 3 seconds before a round",
     "Score",
     "Average (sustained applause)",
     "Peak (loudest moment)",
     "F5 start or stop a round     F6 ranking board",
     "F7 / F8 previous / next contestant     Ctrl+F8 clear the results",
     "OK",
     "Cancel",
     "The contest file could not be used and has been left as it is:\n\r%1\n\r%2\n\rThe contest "
     "starts empty.",
     "It is not a text file.",
     "It is larger than 1 MB.",
     "It holds %1 names; a contest takes at most 20.",
     "Name %1 is longer than 60 characters.",
     "The contest file could not be used when the program started:\n\r%1\n\rReplace it with this "
     "contest?",
     "The contest has no contestants yet. Add them in the contest window: Ctrl+S, then "
     "\"Contest...\".",
     "Clear the results of every contestant? The results file keeps every round.",
     "The round's result could not be written:\n\r%1\n\rIt is kept and written again after the "
     "next round."},
    {"Wedstrijd",
     "Deelnemers",
     "Naam",
     "Toevoegen",
     "Hernoemen",
     "Omhoog",
     "Omlaag",
     "Verwijderen",
     "Rondeduur (seconden, 3 tot 120)",
     "Aftellen van 3 seconden voor een ronde",
     "Score",
     "Gemiddelde (aanhoudend applaus)",
     "Piek (luidste moment)",
     "F5 ronde starten of stoppen     F6 ranglijst",
     "F7 / F8 vorige / volgende deelnemer     Ctrl+F8 uitslagen wissen",
     "OK",
     "Annuleren",
     "Het wedstrijdbestand kon niet worden gebruikt en is ongewijzigd gelaten:\n\r%1\n\r%2\n\rDe "
     "wedstrijd begint leeg.",
     "Het is geen tekstbestand.",
     "Het is groter dan 1 MB.",
     "Het bevat %1 namen; een wedstrijd heeft er hoogstens 20.",
     "Naam %1 is langer dan 60 tekens.",
     "Het wedstrijdbestand kon bij het starten niet worden gebruikt:\n\r%1\n\rVervangen door deze "
     "wedstrijd?",
     "De wedstrijd heeft nog geen deelnemers. Voeg ze toe in het wedstrijdvenster: Ctrl+S, dan "
     "\"Wedstrijd...\".",
     "De uitslagen van alle deelnemers wissen? Het uitslagenbestand behoudt elke ronde.",
     "De uitslag van de ronde kon niet worden weggeschreven:\n\r%1\n\rHij blijft bewaard en wordt "
     "na de volgende ronde opnieuw geschreven."},
    {"Concours",
     "Participants",
     "Nom",
     "Ajouter",
     "Renommer",
     "Monter",
     "Descendre",
     "Supprimer",
     "Durée d'une manche (secondes, 3 à 120)",
     "Compte à rebours de 3 secondes avant une manche",
     "Score",
     "Moyenne (applaudissements soutenus)",
     "Crête (moment le plus fort)",
     "F5 lancer ou arrêter une manche     F6 classement",
     "F7 / F8 participant précédent / suivant     Ctrl+F8 effacer les résultats",
     "OK",
     "Annuler",
     "Le fichier du concours n'a pas pu être utilisé et a été laissé tel quel :\n\r%1\n\r%2\n\rLe "
     "concours commence vide.",
     "Ce n'est pas un fichier texte.",
     "Il dépasse 1 Mo.",
     "Il contient %1 noms ; un concours en accepte 20 au plus.",
     "Le nom %1 dépasse 60 caractères.",
     "Le fichier du concours n'a pas pu être utilisé au démarrage :\n\r%1\n\rLe remplacer par ce "
     "concours ?",
     "Le concours n'a pas encore de participants. Ajoutez-les dans la fenêtre du concours : "
     "Ctrl+S, puis \"Concours...\".",
     "Effacer les résultats de tous les participants ? Le fichier des résultats garde chaque "
     "manche.",
     "Le résultat de la manche n'a pas pu être écrit :\n\r%1\n\rIl est conservé et sera écrit de "
     "nouveau après la prochaine manche."},
    {"Wettbewerb",
     "Teilnehmer",
     "Name",
     "Hinzufügen",
     "Umbenennen",
     "Nach oben",
     "Nach unten",
     "Entfernen",
     "Rundendauer (Sekunden, 3 bis 120)",
     "Countdown von 3 Sekunden vor einer Runde",
     "Wertung",
     "Mittelwert (anhaltender Applaus)",
     "Spitze (lautester Moment)",
     "F5 Runde starten oder stoppen     F6 Rangliste",
     "F7 / F8 voriger / nächster Teilnehmer     Ctrl+F8 Ergebnisse löschen",
     "OK",
     "Abbrechen",
     "Die Wettbewerbsdatei konnte nicht verwendet werden und blieb unverändert:\n\r%1\n\r%2\n\rDer "
     "Wettbewerb beginnt leer.",
     "Sie ist keine Textdatei.",
     "Sie ist größer als 1 MB.",
     "Sie enthält %1 Namen; ein Wettbewerb fasst höchstens 20.",
     "Name %1 ist länger als 60 Zeichen.",
     "Die Wettbewerbsdatei konnte beim Start nicht verwendet werden:\n\r%1\n\rDurch diesen "
     "Wettbewerb ersetzen?",
     "Der Wettbewerb hat noch keine Teilnehmer. Fügen Sie sie im Wettbewerbsfenster hinzu: "
     "Ctrl+S, dann \"Wettbewerb...\".",
     "Die Ergebnisse aller Teilnehmer löschen? Die Ergebnisdatei behält jede Runde.",
     "Das Ergebnis der Runde konnte nicht geschrieben werden:\n\r%1\n\rEs bleibt erhalten und "
     "wird nach der nächsten Runde erneut geschrieben."},
    {"Gara",
     "Concorrenti",
     "Nome",
     "Aggiungi",
     "Rinomina",
     "Su",
     "Giù",
     "Rimuovi",
     "Durata del turno (secondi, da 3 a 120)",
     "Conto alla rovescia di 3 secondi prima del turno",
     "Punteggio",
     "Media (applauso prolungato)",
     "Picco (momento più forte)",
     "F5 avvia o ferma un turno     F6 classifica",
     "F7 / F8 concorrente precedente / successivo     Ctrl+F8 cancella i risultati",
     "OK",
     "Annulla",
     "Il file della gara non è utilizzabile ed è stato lasciato com'è:\n\r%1\n\r%2\n\rLa gara "
     "parte vuota.",
     "Non è un file di testo.",
     "È più grande di 1 MB.",
     "Contiene %1 nomi; una gara ne accetta al massimo 20.",
     "Il nome %1 supera i 60 caratteri.",
     "Il file della gara non era utilizzabile all'avvio:\n\r%1\n\rSostituirlo con questa gara?",
     "La gara non ha ancora concorrenti. Aggiungili nella finestra della gara: Ctrl+S, poi "
     "\"Gara...\".",
     "Cancellare i risultati di tutti i concorrenti? Il file dei risultati conserva ogni turno.",
     "Il risultato del turno non è stato scritto:\n\r%1\n\rViene conservato e riscritto dopo il "
     "prossimo turno."},
    {"Concurso",
     "Concorrentes",
     "Nome",
     "Adicionar",
     "Renomear",
     "Subir",
     "Descer",
     "Remover",
     "Duração da rodada (segundos, 3 a 120)",
     "Contagem regressiva de 3 segundos antes da rodada",
     "Pontuação",
     "Média (aplauso prolongado)",
     "Pico (momento mais forte)",
     "F5 inicia ou para uma rodada     F6 classificação",
     "F7 / F8 concorrente anterior / seguinte     Ctrl+F8 apaga os resultados",
     "OK",
     "Cancelar",
     "O arquivo do concurso não pôde ser usado e ficou como estava:\n\r%1\n\r%2\n\rO concurso "
     "começa vazio.",
     "Não é um arquivo de texto.",
     "É maior que 1 MB.",
     "Contém %1 nomes; um concurso aceita no máximo 20.",
     "O nome %1 tem mais de 60 caracteres.",
     "O arquivo do concurso não pôde ser usado na inicialização:\n\r%1\n\rSubstituí-lo por este "
     "concurso?",
     "O concurso ainda não tem concorrentes. Adicione-os na janela do concurso: Ctrl+S e depois "
     "\"Concurso...\".",
     "Apagar os resultados de todos os concorrentes? O arquivo de resultados guarda todas as "
     "rodadas.",
     "O resultado da rodada não pôde ser gravado:\n\r%1\n\rEle fica guardado e será gravado de "
     "novo após a próxima rodada."},
    {"Concurso",
     "Concursantes",
     "Nombre",
     "Añadir",
     "Renombrar",
     "Subir",
     "Bajar",
     "Quitar",
     "Duración de la ronda (segundos, de 3 a 120)",
     "Cuenta atrás de 3 segundos antes de la ronda",
     "Puntuación",
     "Media (aplauso sostenido)",
     "Pico (momento más fuerte)",
     "F5 inicia o detiene una ronda     F6 clasificación",
     "F7 / F8 concursante anterior / siguiente     Ctrl+F8 borra los resultados",
     "Aceptar",
     "Cancelar",
     "No se pudo usar el archivo del concurso y se ha dejado como estaba:\n\r%1\n\r%2\n\rEl "
     "concurso empieza vacío.",
     "No es un archivo de texto.",
     "Ocupa más de 1 MB.",
     "Contiene %1 nombres; un concurso admite como máximo 20.",
     "El nombre %1 tiene más de 60 caracteres.",
     "No se pudo usar el archivo del concurso al iniciar:\n\r%1\n\r¿Reemplazarlo por este "
     "concurso?",
     "El concurso aún no tiene concursantes. Añádalos en la ventana del concurso: Ctrl+S y luego "
     "\"Concurso...\".",
     "¿Borrar los resultados de todos los concursantes? El archivo de resultados conserva cada "
     "ronda.",
     "No se pudo escribir el resultado de la ronda:\n\r%1\n\rSe conserva y se escribirá de nuevo "
     "tras la próxima ronda."},
};

}  // namespace

const TContestTexts& ContestTexts(int language) {
  if (language < 0 || language > 6) language = 0;
  return kTexts[language];
}

std::string Fill(const std::string& text, const std::string& first, const std::string& second) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && (text[i + 1] == '1' || text[i + 1] == '2')) {
      out += text[i + 1] == '1' ? first : second;
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace roarmark
