#include "editor_window.h"

#include <wordloom/dialogs/spell_menu.h>
#include <wordloom/platform/file_writer.h>
#include <wordloom/storage/dictionary_search.h>

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextLayout>
#include <cstdio>
#include <optional>

#include "open_watch.h"

#include "default_dictionary.h"

namespace wordloom::editor {

namespace {

const QString kTextFilter = QObject::tr("Text files (*.txt);;All files (*)");
const QString kDictionaryFilter = QObject::tr("Spell files (*.spl);;All files (*)");

// Suggestions in the context menu; the check dialog lists them all.
constexpr int kMenuSuggestions = 7;

std::string ToLocal(const QString& FileName) { return QFile::encodeName(FileName).toStdString(); }

}  // namespace

QMenu* SpellTextEdit::SpellContextMenu(const QPoint& Pos) {
  QMenu* menu = createStandardContextMenu(Pos);
  if (FHighlighter != nullptr) {
    const int position = cursorForPosition(Pos).position();
    dialogs::AddSpellActions(*menu, *FHighlighter, position, kMenuSuggestions);
    // "Add to dictionary" adds to the checker; the word goes to the personal
    // list as well (connected after, so it runs after the checker's add),
    // and then the word count follows.
    auto* add = menu->findChild<QAction*>(QStringLiteral("AddWordAction"));
    const std::optional<dialogs::SpellWord> word = FHighlighter->WordAt(position);
    if (add != nullptr && word && FOnAddWord) {
      connect(add, &QAction::triggered, menu, [this, w = word->Word] { FOnAddWord(w); });
    }
    if (add != nullptr) connect(add, &QAction::triggered, this, &SpellTextEdit::WordAdded);
  }
  return menu;
}

void SpellTextEdit::contextMenuEvent(QContextMenuEvent* Event) {
  std::unique_ptr<QMenu> menu(SpellContextMenu(Event->pos()));
  menu->exec(Event->globalPos());
}

EditorWindow::EditorWindow()
    : FEdit(new SpellTextEdit(this)),
      FMemo(std::make_unique<dialogs::TQtPlainTextMemo>(nullptr, FEdit)),
      FChecker(std::make_unique<EditorChecker>(nullptr)),
      FStatus(new QLabel(this)),
      FEncodingStatus(new QLabel(this)) {
  // The editor decides itself when to save the dictionary (on closing it asks).
  FChecker->SetSpellFileOptions({});
  FChecker->SetSuggestionRanking(srkLikelihood);
  // Dictionaries open through their compact forms in the user's cache, as in
  // the tool: at once after the first time, however large.
  FChecker->SetCompactFormFolder(DefaultCompactFormFolder());
  // A new dictionary keeps words without the delimiter that ends them and
  // reads UTF-8; an opened one brings its own settings.
  FChecker->SetDelimiterOption(wldExclFirstSucc);
  FChecker->SetDelimiters(Utf8Delimiters());
  FChecker->InitFirstSpellNode();
  FChecker->SetMemo(FMemo.get());

  QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  font.setPointSize(11);
  FEdit->setFont(font);
  FHighlighter = new dialogs::SpellHighlighter(FEdit->document(), FChecker.get());
  FHighlighter->SetAcceptCapitalised(true);
  FEdit->SetHighlighter(FHighlighter);
  // A check passes over what the marks accept and shares "Ignore all" with them.
  FQtCheckDlg.reset(GetSpellDialogFactory().CreateCheckDialog
                        ? GetSpellDialogFactory().CreateCheckDialog(nullptr)
                        : new THeadlessSpellCheckDlg(nullptr));
  FCheckDlg =
      std::make_unique<dialogs::THighlighterCheckDlg>(nullptr, FHighlighter, FQtCheckDlg.get());
  // Words added in a check go to the personal word list too.
  FPersonalCheckDlg = std::make_unique<PersonalListCheckDlg>(
      FCheckDlg.get(), [this](const std::string& w) { AddPersonalWord(w); });
  FChecker->SetCheckDialog(FPersonalCheckDlg.get());
  FEdit->SetOnAddWord([this](const std::string& w) { AddPersonalWord(w); });

  setCentralWidget(FEdit);
  statusBar()->addWidget(FStatus, 1);
  statusBar()->addPermanentWidget(FEncodingStatus);
  // The word count follows words added from the context menu.
  connect(FEdit, &SpellTextEdit::WordAdded, this, &EditorWindow::UpdateStatus);
  CreateMenus();
  connect(FEdit->document(), &QTextDocument::modificationChanged, this,
          &QWidget::setWindowModified);
  setWindowTitle(QStringLiteral("[*]") + tr("untitled") + QStringLiteral(" - wordloom-editor"));
  resize(760, 520);
  UpdateStatus();
}

EditorWindow::~EditorWindow() {
  // The marks refer to the checker: they go now, before the members; the
  // document that owns them goes only after the members.
  delete FHighlighter;
}

void EditorWindow::Warn(const QString& Text) {
  if (FBatch) {
    std::fprintf(stderr, "wordloom-editor: %s\n", qPrintable(Text));
  } else {
    QMessageBox::warning(this, tr("wordloom-editor"), Text);
  }
}

template <typename Fn>
bool EditorWindow::Guarded(Fn&& Action) {
  try {
    Action();
    return true;
  } catch (const Exception& e) {
    Warn(QString::fromUtf8(e.what()));
    return false;
  }
}

void EditorWindow::CreateMenus() {
  QMenu* file = menuBar()->addMenu(tr("&File"));
  file->addAction(tr("&Open..."), QKeySequence::Open, this, [this] {
    if (!MayDiscardChanges()) return;
    const QString name = QFileDialog::getOpenFileName(this, tr("Open text"), {}, kTextFilter);
    if (!name.isEmpty()) OpenText(name);
  });
  file->addAction(tr("&Save"), QKeySequence::Save, this, [this] {
    if (FTextFile.isEmpty()) {
      const QString name = QFileDialog::getSaveFileName(this, tr("Save text"), {}, kTextFilter);
      if (!name.isEmpty()) SaveText(name);
    } else {
      SaveText(FTextFile);
    }
  });
  file->addAction(tr("Save &as..."), QKeySequence::SaveAs, this, [this] {
    const QString name =
        QFileDialog::getSaveFileName(this, tr("Save text"), FTextFile, kTextFilter);
    if (!name.isEmpty()) SaveText(name);
  });
  file->addSeparator();
  file->addAction(tr("&Quit"), QKeySequence::Quit, this, &QWidget::close);

  QMenu* dict = menuBar()->addMenu(tr("&Dictionary"));
  dict->addAction(tr("&Open..."), this, [this] {
    const QString name =
        QFileDialog::getOpenFileName(this, tr("Open dictionary"), {}, kDictionaryFilter);
    if (!name.isEmpty()) OpenDictionary(name);
  });
  dict->addAction(tr("&Learn from text file..."), this, &EditorWindow::LearnFromFile);
  dict->addAction(tr("&Save"), this, [this] {
    const QString name = DictionarySaveName();
    if (!name.isEmpty()) SaveDictionary(name);
  });
  dict->addAction(tr("Save &as..."), this, [this] {
    const QString name = QFileDialog::getSaveFileName(
        this, tr("Save dictionary"), QString::fromStdString(FChecker->SpellFileName()),
        kDictionaryFilter);
    if (!name.isEmpty()) SaveDictionary(name);
  });

  QMenu* spelling = menuBar()->addMenu(tr("&Spelling"));
  spelling->addAction(tr("&Check spelling"), QKeySequence(Qt::Key_F7), this,
                      &EditorWindow::CheckSpelling);
  spelling->addAction(tr("&Options..."), this, &EditorWindow::ShowOptions);
  spelling->addSeparator();
  QAction* marks = spelling->addAction(tr("&Highlight misspelled words"));
  marks->setCheckable(true);
  marks->setChecked(true);
  connect(marks, &QAction::toggled, this, [this](bool on) { FHighlighter->SetEnabled(on); });
  QAction* capitals = spelling->addAction(tr("Accept &capitalised dictionary words"));
  capitals->setCheckable(true);
  capitals->setChecked(true);
  connect(capitals, &QAction::toggled, this,
          [this](bool on) { FHighlighter->SetAcceptCapitalised(on); });
  QMenu* encoding = spelling->addMenu(tr("Text &encoding"));
  auto* group = new QActionGroup(this);
  QAction* utf8 = encoding->addAction(tr("UTF-8"));
  QAction* cp1252 = encoding->addAction(tr("Windows-1252"));
  for (QAction* a : {utf8, cp1252}) {
    a->setCheckable(true);
    group->addAction(a);
  }
  utf8->setChecked(true);
  connect(utf8, &QAction::triggered, this, [this] { SetEncoding(dialogs::meUtf8); });
  connect(cp1252, &QAction::triggered, this, [this] { SetEncoding(dialogs::meWindows1252); });
}

bool EditorWindow::OpenDictionary(const QString& FileName) {
  if (!QFileInfo(FileName).isFile()) {
    Warn(tr("%1: no such dictionary").arg(FileName));
    return false;
  }
  const std::string name = ToLocal(FileName);
  for (;;) {
    OpenWatch watch;
    const bool opened = Guarded([&] {
      FChecker->SetLanguage(DictionaryLanguage(name));
      FChecker->OpenSpellFile(name);
    });
    if (opened && FChecker->SpellFileName() == name) break;
    const QString said = QString::fromStdString(watch.Messages());
    // Refused for a wrong password: the password is asked again, or the open
    // given up, as the user says. Other refusals (an answer of the user, a
    // cancelled password) end here, with what the library said.
    if (!opened || !watch.PasswordGiven() || FBatch) {
      if (!said.isEmpty()) Warn(tr("%1: %2").arg(FileName, said));
      return false;
    }
    const auto answer =
        QMessageBox::warning(this, tr("wordloom-editor"), tr("%1: %2").arg(FileName, said),
                             QMessageBox::Retry | QMessageBox::Cancel, QMessageBox::Retry);
    if (answer != QMessageBox::Retry) return false;
  }
  FSharedDictionary = false;
  FDictionaryEdited = false;
  Guarded([&] { UsePersonalList(PersonalListFor(FileName)); });
  FHighlighter->rehighlight();
  UpdateStatus();
  return true;
}

bool EditorWindow::OpenNamedDictionary(const QString& Given) {
  EditorDictionary found;
  try {
    found = FindEditorDictionary(Given);
  } catch (const Exception& e) {
    if (!Given.isEmpty()) Warn(QString::fromUtf8(e.what()));
    return false;
  }
  if (!OpenDictionary(found.Path)) return false;
  FSharedDictionary = found.Shared;
  Guarded([&] { UsePersonalList(found.PersonalList); });
  FHighlighter->rehighlight();
  return true;
}

void EditorWindow::UsePersonalList(const std::string& File) {
  FPersonal = PersonalWordList(File);
  FPersonal.SetMakeFolder(true);
  FPersonal.Load();
  const bool modified = FChecker->SpellModified();
  for (const std::string& w : FPersonal.Words()) {
    if (FChecker->Frequency(w) == 0) FChecker->AddToSpell(w);
  }
  // Known for this session; the dictionary itself has not changed.
  if (!modified) FChecker->MarkUnmodified();
}

void EditorWindow::AddPersonalWord(const std::string& Word) {
  if (!FDictionaryEdited) FChecker->MarkUnmodified();
  if (FPersonal.File().empty() || !FPersonal.Add(Word)) return;
  Guarded([this] { FPersonal.Save(); });
}

QString EditorWindow::DictionarySaveName() {
  const QString current = QString::fromStdString(FChecker->SpellFileName());
  if (!current.isEmpty() && !FSharedDictionary) return current;
  return QFileDialog::getSaveFileName(this, tr("Save dictionary"), {}, kDictionaryFilter);
}

bool EditorWindow::OpenText(const QString& FileName) {
  QFile file(FileName);
  if (!file.open(QIODevice::ReadOnly)) {
    Warn(tr("%1: %2").arg(FileName, file.errorString()));
    return false;
  }
  const QByteArray bytes = file.readAll();
  FFile =
      dialogs::DecodeTextFile(std::string_view(bytes.constData(), bytes.size()), FMemo->Encoding());
  FEdit->setPlainText(FFile.Text);
  FFile.Text.clear();
  FTextFile = FileName;
  UpdateStatus();
  if (FFile.FellBack) {
    Warn(tr("%1 is not UTF-8 text. It was read as Windows-1252 (Latin-1) and will be saved "
            "in that encoding.")
             .arg(FileName));
  }
  setWindowTitle(QStringLiteral("[*]") + QFileInfo(FileName).fileName() +
                 QStringLiteral(" - wordloom-editor"));
  return true;
}

bool EditorWindow::SaveText(const QString& FileName) {
  const QString text = FEdit->toPlainText();
  dialogs::TextFileContent target = FFile;
  std::optional<std::string> encoded = dialogs::EncodeTextFile(text, target);
  if (!encoded) {
    const auto answer = QMessageBox::question(
        this, tr("wordloom-editor"),
        tr("The text has characters that %1 cannot hold. Save it as UTF-8 instead?")
            .arg(dialogs::EncodingName(FFile.Encoding)),
        QMessageBox::Save | QMessageBox::Cancel, QMessageBox::Cancel);
    if (answer != QMessageBox::Save) return false;
    target.Encoding = dialogs::meUtf8;
    encoded = dialogs::EncodeTextFile(text, target);
  }
  const std::string& bytes = *encoded;
  // The same writer as every other save: a link is followed, a read-only
  // file refused, and a failure leaves the old text.
  if (!Guarded([&] { FileWriter().SaveBytes(ToLocal(FileName), bytes); })) return false;
  FFile.Encoding = target.Encoding;
  FTextFile = FileName;
  FEdit->document()->setModified(false);
  setWindowTitle(QStringLiteral("[*]") + QFileInfo(FileName).fileName() +
                 QStringLiteral(" - wordloom-editor"));
  UpdateStatus();
  statusBar()->showMessage(
      tr("Saved %1 in %2.")
          .arg(QFileInfo(FileName).fileName(), dialogs::EncodingName(FFile.Encoding)),
      4000);
  return true;
}

bool EditorWindow::SaveDictionary(const QString& FileName) {
  if (FChecker->WordCount() == 0) {
    QMessageBox::information(this, tr("wordloom-editor"), tr("The dictionary has no words."));
    return false;
  }
  const std::string name = ToLocal(FileName);
  FChecker->MarkModified();
  if (!Guarded([&] { FChecker->SaveSpellFile(name, FChecker->IsFileProtected()); })) return false;
  UpdateStatus();
  const bool saved = FChecker->SpellFileName() == name && !FChecker->SpellModified();
  // Saved to a file of the user's choice: that one is the user's own.
  if (saved) FSharedDictionary = FDictionaryEdited = false;
  return saved;
}

bool EditorWindow::MayDiscardChanges() {
  if (FEdit->document()->isModified()) {
    const auto answer =
        QMessageBox::question(this, tr("wordloom-editor"), tr("The text has changed. Save it?"),
                              QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel) return false;
    if (answer == QMessageBox::Save) {
      const QString name =
          FTextFile.isEmpty() ? QFileDialog::getSaveFileName(this, tr("Save text"), {}, kTextFilter)
                              : FTextFile;
      if (name.isEmpty() || !SaveText(name)) return false;
    }
  }
  return true;
}

void EditorWindow::closeEvent(QCloseEvent* Event) {
  if (!MayDiscardChanges()) {
    Event->ignore();
    return;
  }
  if (FChecker->SpellModified() && FDictionaryEdited) {
    const auto answer = QMessageBox::question(
        this, tr("wordloom-editor"), tr("The dictionary has new words. Save it?"),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel) {
      Event->ignore();
      return;
    }
    if (answer == QMessageBox::Save) {
      const QString name = DictionarySaveName();
      if (name.isEmpty() || !SaveDictionary(name)) {
        Event->ignore();
        return;
      }
    }
  }
  Event->accept();
}

void EditorWindow::CheckSpelling() {
  // From the caret to the end, or the selection, by the words the
  // highlighter marks: the same word layer and case rules.
  const ProseCheckOptions options{MarkupMode::kPlain, !FHighlighter->AcceptCapitalised()};
  if (Guarded([this, &options] { CheckProse(*FChecker, *FMemo, options); })) {
    statusBar()->showMessage(tr("The check is complete."), 4000);
  }
  FHighlighter->rehighlight();
  UpdateStatus();
}

void EditorWindow::ShowOptions() {
  Guarded([this] { FChecker->ShowOptsDialog({sopSuggestions, sopCode, sopTokens}); });
  FDictionaryEdited = FDictionaryEdited || FChecker->SpellModified();
  FHighlighter->rehighlight();
  UpdateStatus();
}

void EditorWindow::LearnFromFile() {
  const QString name = QFileDialog::getOpenFileName(this, tr("Learn from text"), {}, kTextFilter);
  if (name.isEmpty()) return;
  Guarded([&] { FChecker->AddFileToSpell(ToLocal(name)); });
  FDictionaryEdited = true;
  FHighlighter->rehighlight();
  UpdateStatus();
}

void EditorWindow::SetEncoding(dialogs::TMemoEncoding Encoding) {
  // The text and its file take the dictionary's encoding.
  FMemo->SetEncoding(Encoding);
  FHighlighter->SetEncoding(Encoding);
  FFile.Encoding = Encoding;
  UpdateStatus();
}

int EditorWindow::MarkedWordCount() {
  int marked = 0;
  for (QTextBlock b = FEdit->document()->begin(); b.isValid(); b = b.next()) {
    for (const QTextLayout::FormatRange& r : b.layout()->formats()) {
      if (r.format.underlineStyle() == QTextCharFormat::SpellCheckUnderline) ++marked;
    }
  }
  return marked;
}

void EditorWindow::UpdateStatus() {
  const QString file = QString::fromStdString(FChecker->SpellFileName());
  FStatus->setText(tr("Dictionary: %1, %2 words")
                       .arg(file.isEmpty() ? tr("new") : QFileInfo(file).fileName())
                       .arg(FChecker->WordCount()));
  FEncodingStatus->setText(dialogs::EncodingName(FFile.Encoding));
}

QString EditorWindow::StatusText() const {
  return FStatus->text() + QStringLiteral(" | ") + FEncodingStatus->text();
}

}  // namespace wordloom::editor
