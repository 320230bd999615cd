#include "RecoveryOffer.h"

#include "ProgramWindows.h"
#include "TMainForm.h"

#include "editor/ui/TDIBMainForm.h"
#include "foundation/UserMessage.h"
#include "foundation/recovery/RecoveryKeeper.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace {

// "„jacke.tpd“ (Muster), zuletzt geändert am 05.03.2025 um 14:32 Uhr"
QString entryLine(const recovery::Entry& entry) {
    const recovery::Description& d = entry.description;
    QString name = d.title;
    if (!d.fileName.isEmpty()) {
        name = QFileInfo(d.fileName).fileName();
    } else if (name.isEmpty()) {
        name = d.kind == recovery::Kind::Chart ? QStringLiteral("unbenannt.tpd")
                                               : QStringLiteral("NONAME");
    }
    const QString kind = d.kind == recovery::Kind::Chart ? QStringLiteral("Muster")
                         : d.stitchPicture               ? QStringLiteral("Bild eines Stichs")
                                                         : QStringLiteral("Bild");
    QString line = QStringLiteral("„%1“ (%2)").arg(name, kind);
    if (d.changed.isValid()) {
        line += QStringLiteral(", zuletzt geändert am ") +
                QLocale(QLocale::German, QLocale::Germany)
                    .toString(d.changed, QStringLiteral("dd.MM.yyyy 'um' HH:mm 'Uhr'"));
    }
    return line;
}

bool askToRestore(QWidget* parent, const std::vector<recovery::Entry>& entries) {
    QMessageBox box(QMessageBox::Question, QCoreApplication::applicationName(),
                    RecoveryOffer::questionText(entries), QMessageBox::NoButton, parent);
    QPushButton* restore =
        box.addButton(QStringLiteral("Wiederherstellen"), QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("Verwerfen"), QMessageBox::DestructiveRole);
    box.setDefaultButton(restore);
    box.exec();
    return box.clickedButton() == restore;
}

} // namespace

RecoveryOffer::RecoveryOffer() = default;
RecoveryOffer::~RecoveryOffer() = default;

QString RecoveryOffer::questionText(const std::vector<recovery::Entry>& entries) {
    QStringList lines;
    for (const recovery::Entry& entry : entries) {
        lines << QStringLiteral("• ") + entryLine(entry);
    }
    return QStringLiteral("Tessaplan-Designer wurde nicht ordnungsgemäß beendet. Von %1 gibt es "
                          "ungespeicherte Änderungen:\n\n%2\n\nSollen sie wiederhergestellt "
                          "werden? „Verwerfen“ löscht die ungespeicherten Änderungen.")
        .arg(entries.size() == 1 ? QStringLiteral("diesem Dokument")
                                 : QStringLiteral("diesen Dokumenten"),
             lines.join(QLatin1Char('\n')));
}

void RecoveryOffer::offerAtStart(QWidget* parent, const Targets& targets) {
    QTimer::singleShot(0, parent, [this, parent, targets] {
        offer(parent, targets, recovery::Store(recovery::Store::defaultFolder()));
    });
}

int RecoveryOffer::offer(QWidget* parent, const Targets& targets, const recovery::Store& store) {
    const recovery::Store::Lock lock(store);
    if (!lock.held()) {
        return 0; // another program is offering them right now
    }
    const std::vector<recovery::Entry> entries = store.orphans(!targets.charts);
    if (entries.empty()) {
        return 0;
    }
    if (!askToRestore(parent, entries)) {
        for (const recovery::Entry& entry : entries) {
            recovery::Store::remove(entry);
        }
        return 0;
    }
    int restored = 0;
    bool chartTaken = false;
    bool pictureTaken = false;
    QStringList damaged;
    for (const recovery::Entry& entry : entries) {
        if (restore(entry, targets, chartTaken, pictureTaken)) {
            ++restored;
            continue;
        }
        const QString aside = store.keepAside(entry);
        damaged << QStringLiteral("• ") + entryLine(entry) +
                       (aside.isEmpty() ? QString()
                                        : QStringLiteral("\n   liegt jetzt unter „%1“")
                                              .arg(QDir::toNativeSeparators(aside)));
    }
    if (!damaged.isEmpty()) {
        showUserMessage(MessageIcon::Error,
                        QStringLiteral("Diese Wiederherstellungskopien sind beschädigt und "
                                       "konnten nicht geöffnet werden:\n\n%1")
                            .arg(damaged.join(QLatin1Char('\n'))));
    }
    return restored;
}

bool RecoveryOffer::restore(const recovery::Entry& entry, const Targets& targets, bool& chartTaken,
                            bool& pictureTaken) {
    const recovery::Description& d = entry.description;
    if (d.kind == recovery::Kind::Chart) {
        TMainForm* window = !chartTaken ? targets.chartWindow : nullptr;
        std::unique_ptr<ProgramWindows> own;
        if (!window) {
            own = std::make_unique<ProgramWindows>();
            own->create({QCoreApplication::applicationFilePath()});
            window = own->MainForm.get();
        }
        if (!window->restoreProject(entry.copyPath, d.fileName)) {
            return false;
        }
        window->recoveryKeeper().adopt(entry);
        if (own) {
            own->MainForm->show();
            programs.push_back(std::move(own));
        } else {
            chartTaken = true;
        }
        return true;
    }

    TDIBMainForm* window = !pictureTaken ? targets.pictureWindow : nullptr;
    std::unique_ptr<TDIBMainForm> own;
    if (!window) {
        // A window of its own: a stitch's picture can no longer go back to its stitch, and the
        // editor of the chart designer belongs to the stitch editor.
        own = std::make_unique<TDIBMainForm>();
        own->setStandalone(true);
        window = own.get();
    }
    if (!window->restorePicture(entry.copyPath, d)) {
        return false;
    }
    window->recoveryKeeper().adopt(entry);
    if (own) {
        own->show();
        editors.push_back(std::move(own));
    } else {
        pictureTaken = true;
    }
    return true;
}
