// The preset list window: slots shown with the portability rule applied, thumbnails beside
// them, and "Settings.dat" written only by "Save and Close".
#include "settings/preset_list_window.h"

#include "display/pictures/bmp_reader.h"
#include "settings/paths.h"
#include "settings/preset_list.h"

namespace roarmark {

using namespace platform::ui;

namespace {

constexpr int kRows = kPresetSlots;
constexpr const char* kCaptionPresetError = " Roarmark Error";

const TPresetListCaptions kCaptions[] = {
    {"Settings File List",
     "Double-click cell to browse for settings file. Click filename to view thumbnail.",
     "Save and Close", "Clear Entry", "Clear All"},
    {"Instellingen File List",
     " Dubbelklik op cel om te zoeken naar de instellingen bestand. Klik op bestandsnaam naar "
     "overzicht ",
     "Opslaan en sluiten", "Vrije ingang", "Alles wissen"},
    {"Liste des fichiers préférences",
     "Double-cliquez sur la cellule pour rechercher le fichier de paramètres. Cliquez sur le nom "
     "de fichier pour afficher la vignette",
     "Enregistrer et fermer", "Effacer entrée", "Effacer tout"},
    {"Einstellungen Dateiliste",
     "Doppelklicken Sie auf Zelle, um nach Settings. Klicken Sie auf Dateinamen Miniaturansicht",
     "Speichern schließen", "Klar Eintrag", "Klar alle"},
    {"File Impostazioni elenco",
     "cella doppio clic per cercare file di impostazioni. Clicca il nome del file per "
     "visualizzare le miniature",
     "Salva e chiudi", "Cancella Entrata", "Cancella tutto"},
    {"Definições de Lista de Arquivos",
     "Dê um duplo clique celular para procurar arquivo de configurações. Clique em arquivo para "
     "visualização de miniaturas",
     "Salvar e Fechar", "Limpar Entrada", "Limpar tudo"},
    {"Configuración de la lista de archivos",
     "Celular doble clic para navegar por el archivo de configuración. Haga clic en nombre de "
     "archivo a la vista en miniatura",
     "Guardar y cerrar", "Borrar entrada", "Borrar todos"},
};

platform::ui::TFont Arial(int pixels, bool bold = false) {
  platform::ui::TFont font;
  font.Name = "Arial";
  font.PixelHeight = pixels;
  font.Style = bold ? 1 : 0;
  return font;
}

}  // namespace

const TPresetListCaptions& PresetListCaptions(int language) {
  if (language < 0 || language > 6) language = 0;
  return kCaptions[language];
}

TForm3::TForm3(TApplication& app)
    : TForm(app, "TForm3"),
      StaticText1(this, "StaticText1"),
      FileList(this, "FileList"),
      Image1(this, "Image1"),
      Button2(this, "Button2"),
      Button3(this, "Button3"),
      Button1(this, "Button1") {
  SetCaption(kCaptions[0].Window);
  SetBorderStyle(TBorderStyle::bsDialog);
  SetPosition(TFormPosition::poScreenCenter);
  SetStayOnTop(true);
  SetKeyPreview(true);
  SetBounds(0, 0, 100, 100);
  SetClientSize(908, 406);

  StaticText1.SetBounds(36, 28, 560, 16);
  StaticText1.SetFont(Arial(13));
  FileList.SetBounds(32, 72, 601, 253);
  FileList.SetFont(Arial(13));
  FileList.SetSize(2, kRows);
  FileList.SetFixedCols(1);
  FileList.SetFixedRows(0);
  Image1.SetBounds(652, 104, 245, 201);
  Button2.SetBounds(32, 352, 81, 25);
  Button2.SetFont(Arial(11));
  Button3.SetBounds(144, 352, 81, 25);
  Button3.SetFont(Arial(11));
  Button1.SetBounds(400, 351, 149, 25);
  Button1.SetFont(Arial(13, true));

  OnShow = [this] { FormShow(); };
  OnKeyUp = [this](int& key, TShiftState) { FormKeyUp(key); };
  FileList.OnMouseUp = [this](TMouseButton, TShiftState, int x, int y) { FileListMouseUp(x, y); };
  FileList.OnDblClick = [this] { FileListDblClick(); };
  Button1.OnClick = [this] { Button1Click(); };
  Button2.OnClick = [this] { Button2Click(); };
  Button3.OnClick = [this] { Button3Click(); };
}

void TForm3::ShowPresetList(const TPresetListHost& host) {
  host_ = host;
  ShowModal();
}

void TForm3::FormShow() {
  selected_col_ = 1;
  selected_row_ = 0;
  FileList.SetColWidth(0, 52);
  FileList.SetColWidth(1, FileList.Width() - 56);
  for (int row = 0; row < kRows; ++row)
    FileList.SetCell(0, row, " Ctrl " + std::to_string(row));
  FileList.SetCol(1);
  FileList.SetRow(0);
  const std::vector<std::string> none;
  const std::vector<std::string>& list = host_.PresetList ? *host_.PresetList : none;
  for (int row = 0; row < kRows; ++row) {
    const auto n = static_cast<std::size_t>(row);
    FileList.SetCell(1, row, PortablePath(n < list.size() ? list[n] : "", host_.DataFolder));
  }
  ShowSelectedThumbnail();
  const TPresetListCaptions& captions = PresetListCaptions(host_.Language);
  StaticText1.SetCaption(captions.Instruction);
  Button1.SetCaption(captions.SaveAndClose);
  Button2.SetCaption(captions.ClearEntry);
  Button3.SetCaption(captions.ClearAll);
  SetCaption(captions.Window);
}

void TForm3::FormKeyUp(int& key) {
  // Escape is the close box: the edits are dropped, the list on disk and in memory stays.
  if (key == VK_ESCAPE) Close();
  key = 0;
}

void TForm3::FileListMouseUp(int x, int y) {
  int col = -1;
  int row = -1;
  FileList.MouseToCell(x, y, col, row);
  // A release beyond the cells keeps the selection it had.
  if (col < 0 || row < 0) return;
  selected_col_ = col;
  selected_row_ = row;
  FileList.SetRow(row);
  ShowSelectedThumbnail();
}

void TForm3::ShowSelectedThumbnail() {
  const std::string file = PortablePath(FileList.Cell(1, selected_row_), host_.DataFolder);
  platform::TPixels picture;
  if (!file.empty()) {
    const std::string thumbnail = ReplaceExtension(file, ".thm");
    if (FileExists(thumbnail) && DecodeBmpFile(thumbnail, picture)) {
      Image1.SetPicture(std::move(picture));
      return;
    }
  }
  Image1.Clear();
}

void TForm3::FileListDblClick() {
  if (host_.Dialogs == nullptr) return;
  platform::TFileDialogRequest request;
  request.Filter = "Graphics Settings (*.cfg)|*.cfg";
  request.InitialDir = FilesFolder(host_.DataFolder);
  request.DefaultExt = "cfg";
  const std::optional<std::string> chosen = host_.Dialogs->OpenFileDialog(request);
  if (!chosen) return;
  // A line break in the name would split the slot in two in "Settings.dat".
  if (!FitsPresetList(*chosen)) {
    host_.Dialogs->MessageBox(
        kCaptionPresetError,
        "A preset cannot name this file: its name holds a line break.\n\r" + *chosen,
        platform::MessageButtons::Ok);
    return;
  }
  if (host_.LoadSettingsFile) host_.LoadSettingsFile(*chosen);
  FileList.SetCell(1, selected_row_, *chosen);
  ShowSelectedThumbnail();
}

void TForm3::Button2Click() {
  FileList.SetCell(1, selected_row_, "");
}

void TForm3::Button3Click() {
  for (int row = 0; row < kRows; ++row)
    FileList.SetCell(1, row, "");
}

void TForm3::Button1Click() {
  std::vector<std::string> entries;
  for (int row = 0; row < kRows; ++row)
    entries.push_back(FileList.Cell(1, row));
  // The keys recall what the file names: the list changes only once the file is saved.
  SavePresetList(host_.DataFolder, entries);
  if (host_.PresetList) *host_.PresetList = entries;
  Close();
}

}  // namespace roarmark
