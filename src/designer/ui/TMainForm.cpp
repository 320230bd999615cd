#include "TMainForm.h"

#include "ProgramWindows.h"
#include "ProgressDialogScope.h"
#include "TNeuForm.h"
#include "TSettingsTab.h"
#include "designer/ProjectFile.h"
#include "designer/StitchLibraryFile.h"
#include "designer/Units.h"
#include "foundation/DibCopy.h"
#include "foundation/Memory.h"
#include "foundation/OwnedText.h"
#include "foundation/UserMessage.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>
#include <QScreen>
#include <QScrollArea>
#include <QSpinBox>
#include <QSplitter>
#include <QStandardPaths>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kToolPanelHeight = 33;
constexpr int kToolButtonSize = 33;
constexpr int kPalettePanelWidth = 225;
constexpr int kPaletteButtonStripHeight = 57;
constexpr int kInitialRows = 10;
constexpr int kInitialColumns = 10;

const QString kCannotCreateText = QStringLiteral("Konnte die Datei nicht anlegen.");
const QString kDamagedText =
    QStringLiteral("Die Datei ist beschädigt oder unvollständig und konnte nicht geladen werden.");

// Memory a file may take once read; the rest stays for drawing and editing.
std::uint64_t loadBudget() {
    const std::uint64_t available = memory::availableBytes();
    return available - available / 8;
}

// Writes through `writeContent` into a temporary file beside `fname` that replaces `fname`
// only when everything was written and flushed to disk.
enum class SaveOutcome { Saved, CannotCreate, NotWritten };

template <class Writer>
SaveOutcome saveAtomically(const QString& fname, Writer writeContent) {
    QSaveFile file(fname);
    if (!file.open(QIODevice::WriteOnly)) {
        return SaveOutcome::CannotCreate;
    }
    if (!writeContent(file)) {
        file.cancelWriting();
        return SaveOutcome::NotWritten;
    }
    return file.commit() ? SaveOutcome::Saved : SaveOutcome::NotWritten;
}

QScrollArea* makeWorkspace(QWidget* parent, const char* name) {
    auto* box = new QScrollArea(parent);
    box->setObjectName(QLatin1String(name));
    box->setBackgroundRole(QPalette::Dark);
    return box;
}

} // namespace

TMainForm::TMainForm(ProgramWindows& windows, const QStringList& arguments, QWidget* parent)
    : QMainWindow(parent), windows_(windows), arguments_(arguments) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Orvenal Tessaplan-Designer 1.0"));
    QFont controlsFont(QStringLiteral("Tahoma"));
    controlsFont.setPixelSize(11);
    setFont(controlsFont);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    createToolBar();
    layout->addWidget(ToolPanel);

    PageControl1 = new QTabWidget(central);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    createEditTab();
    TabSheet2 = new TSettingsTab(PageControl1);
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    PageControl1->addTab(TabSheet1, QStringLiteral("Bearbeiten"));
    PageControl1->addTab(TabSheet2, QStringLiteral("Einstellungen"));
    PageControl1->setCurrentIndex(0);
    layout->addWidget(PageControl1, 1);
    setCentralWidget(central);

    resize(649, 496);
    centreOnScreen();
    FormCreate();
}

void TMainForm::createToolBar() {
    ToolPanel = new QWidget(this);
    ToolPanel->setObjectName(QStringLiteral("ToolPanel"));
    ToolPanel->setFixedHeight(kToolPanelHeight);

    struct ToolButtonEntry {
        QToolButton** button;
        const char* name;
        const char* hint;
        QStyle::StandardPixmap icon;
        int x;
    };
    const ToolButtonEntry entries[] = {
        {&SpeedButton1, "SpeedButton1", "Neu...", QStyle::SP_FileIcon, 0},
        {&SpeedButton2, "SpeedButton2", "Öffnen...", QStyle::SP_DirOpenIcon, 32},
        {&SpeedButton3, "SpeedButton3", "Speichern", QStyle::SP_DialogSaveButton, 64},
        {&SpeedButton4, "SpeedButton4", "Speichern unter...", QStyle::SP_DriveFDIcon, 96},
        {&SpeedButton5, "SpeedButton5", "Drucken", QStyle::SP_ComputerIcon, 136},
    };
    for (const ToolButtonEntry& entry : entries) {
        auto* button = new QToolButton(ToolPanel);
        button->setObjectName(QLatin1String(entry.name));
        button->setToolTip(QString::fromUtf8(entry.hint));
        button->setIcon(style()->standardIcon(entry.icon));
        button->setAutoRaise(true);
        button->setGeometry(entry.x, 0, kToolButtonSize, kToolButtonSize);
        *entry.button = button;
    }
    connect(SpeedButton1, &QToolButton::clicked, this, &TMainForm::NewAll);
    // Opening, saving and printing are not available yet.
    SpeedButton2->setEnabled(false);
    SpeedButton3->setEnabled(false);
    SpeedButton4->setEnabled(false);
    SpeedButton5->setEnabled(false);
}

void TMainForm::createEditTab() {
    TabSheet1 = new QWidget(PageControl1);
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));

    Splitter1 = new QSplitter(Qt::Horizontal, TabSheet1);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setChildrenCollapsible(false);
    ScrollBox1 = makeWorkspace(Splitter1, "ScrollBox1");

    auto* palettePanel = new QWidget(Splitter1);
    palettePanel->setObjectName(QStringLiteral("Panel1"));
    auto* paletteLayout = new QVBoxLayout(palettePanel);
    paletteLayout->setContentsMargins(0, 0, 0, 0);
    paletteLayout->setSpacing(0);
    PaletteButtons = new QWidget(palettePanel);
    PaletteButtons->setObjectName(QStringLiteral("PaletteButtons"));
    PaletteButtons->setFixedHeight(kPaletteButtonStripHeight);
    ScrollBox2 = makeWorkspace(palettePanel, "ScrollBox2");
    paletteLayout->addWidget(PaletteButtons);
    paletteLayout->addWidget(ScrollBox2, 1);

    Splitter1->addWidget(ScrollBox1);
    Splitter1->addWidget(palettePanel);
    Splitter1->setStretchFactor(0, 1);
    Splitter1->setStretchFactor(1, 0);
    Splitter1->setSizes({649 - kPalettePanelWidth, kPalettePanelWidth});

    auto* layout = new QVBoxLayout(TabSheet1);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Splitter1);
}

void TMainForm::centreOnScreen() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TMainForm::FormCreate() {
    maincap = windowTitle();
    SetUnChanged();
    progpath = QCoreApplication::applicationDirPath();
    if (!progpath.endsWith(QLatin1Char('/'))) {
        progpath += QLatin1Char('/');
    }
    doc.cellwh = millimetresToPixels(TabSheet2->BreitEd->value(), ScrollBox1->logicalDpiX());
    LoadStiche();
    if (!doc.buildChart(kInitialRows, kInitialColumns, 0)) {
        // Not even the small initial chart fits: start with none rather than a broken one.
        doc.azeilen = 0;
        doc.aspalten = 0;
    }
}

void TMainForm::FormShow() {
    if (isfirst) {
        return;
    }
    isfirst = true;
    if (arguments_.size() > 1) {
        LoadProject(arguments_.at(1));
    }
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    FormShow();
}

void TMainForm::NewAll() {
    TNeuForm& dialog = *windows_.NeuForm;
    dialog.ComboBox1->clear();
    for (const TStich& stich : doc.stiche) {
        dialog.ComboBox1->addItem(ownedTextToString(stich.bezeichnung));
    }
    dialog.ComboBox1->setCurrentIndex(0);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const int rows = dialog.ZeilenEd->value();
    const int columns = dialog.SpaltenEd->value();
    if (!doc.buildChart(rows, columns, dialog.ComboBox1->currentIndex())) {
        return; // the record array has reported the shortage; the old chart stays
    }
    doc.afilename.clear();
    SetUnChanged();
}

void TMainForm::SetChanged() {
    doc.SetChanged();
    setWindowTitle(doc.captionFor(maincap));
}

void TMainForm::SetUnChanged() {
    doc.SetUnChanged();
    setWindowTitle(doc.captionFor(maincap));
}

bool TMainForm::SaveProject(const QString& fname) {
    const PageSettings settings = TabSheet2->settings();
    ProgressDialogScope progress(this, QStringLiteral("Das Projekt wird gespeichert …"));
    const SaveOutcome outcome = saveAtomically(fname, [&](QSaveFile& file) {
        return ProjectFile::write(file, doc, settings, progress.callback());
    });
    if (outcome == SaveOutcome::CannotCreate) {
        showUserMessage(MessageIcon::Error, kCannotCreateText);
    } else if (outcome == SaveOutcome::NotWritten && !progress.canceled()) {
        showUserMessage(
            MessageIcon::Error,
            QStringLiteral("Die Datei „%1“ konnte nicht vollständig geschrieben werden. "
                           "Ist der Datenträger voll? Die bisherige Datei bleibt "
                           "unverändert.")
                .arg(QFileInfo(fname).fileName()));
    }
    return outcome == SaveOutcome::Saved;
}

bool TMainForm::LoadProject(const QString& fname) {
    QFile file(fname);
    if (!file.open(QIODevice::ReadOnly)) {
        // A name that does not exist (a stale command-line argument) is passed over silently.
        if (QFileInfo::exists(fname)) {
            showUserMessage(MessageIcon::Error,
                            QStringLiteral("Die Datei „%1“ konnte nicht geöffnet werden.")
                                .arg(QFileInfo(fname).fileName()));
        }
        return false;
    }
    PageSettings settings = TabSheet2->settings();
    FileStatus status = FileStatus::Ok;
    {
        ProgressDialogScope progress(this, QStringLiteral("Das Projekt wird geladen …"));
        status =
            ProjectFile::read(file, file.size(), doc, settings, loadBudget(), progress.callback());
    }
    switch (status) {
    case FileStatus::Ok:
        break;
    case FileStatus::Damaged:
        showUserMessage(MessageIcon::Error, kDamagedText);
        return false;
    case FileStatus::NoMemory:
        showUserMessage(MessageIcon::Error, QString::fromUtf16(kNotEnoughMemoryText));
        return false;
    case FileStatus::Stopped:
        return false;
    }
    TabSheet2->setSettings(settings);
    doc.afilename = fname;
    SetUnChanged();
    return true;
}

QString TMainForm::GetProgramDir(bool create) const {
    const QString folder = StitchLibraryFile::dataFolder(
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation), progpath);
    if (create) {
        QDir().mkpath(folder);
    }
    return folder;
}

void TMainForm::LoadStiche() {
    const QString path = GetProgramDir(false) + StitchLibraryFile::kFileName;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return; // a new user has no library yet
    }
    doc.FreeAllStiche();
    const StitchLibraryFile::ReadResult result =
        StitchLibraryFile::read(file, file.size(), doc.stiche);
    if (result.status == FileStatus::Ok) {
        return;
    }
    // The next change of the library rewrites the file: keep the whole one for rescue.
    const QString kept = path + QStringLiteral(".beschaedigt");
    QFile::remove(kept);
    QFile::copy(path, kept);
    const QString reason = result.status == FileStatus::NoMemory
                               ? QStringLiteral("Der Arbeitsspeicher reicht nicht für die ganze "
                                                "Stichbibliothek.")
                               : QStringLiteral("Die Stichbibliothek ist beschädigt oder "
                                                "unvollständig.");
    showUserMessage(MessageIcon::Warning,
                    reason + QStringLiteral(" Es wurden %1 von %2 Stichen geladen; eine Kopie "
                                            "der Datei liegt unter „%3“.")
                                 .arg(result.read)
                                 .arg(std::max(result.declared, result.read))
                                 .arg(QDir::toNativeSeparators(kept)));
}

bool TMainForm::SaveStiche() {
    const QString path = GetProgramDir(true) + StitchLibraryFile::kFileName;
    const SaveOutcome outcome = saveAtomically(
        path, [&](QSaveFile& file) { return StitchLibraryFile::write(file, doc.stiche); });
    if (outcome == SaveOutcome::Saved) {
        return true;
    }
    showUserMessage(MessageIcon::Error,
                    QStringLiteral("Die Stichbibliothek konnte nicht in „%1“ gespeichert werden. "
                                   "Die Änderung gilt nur bis zum Ende des Programms.")
                        .arg(QDir::toNativeSeparators(path)));
    return false;
}
