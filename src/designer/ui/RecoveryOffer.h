#pragma once

#include "foundation/recovery/RecoveryStore.h"

#include <QStringList>

#include <memory>
#include <vector>

class ProgramWindows;
class QWidget;
class TDIBMainForm;
class TMainForm;

// The offer at start: the recovery copies that programs no longer running left behind (a crash,
// a killed program, a power cut) are named in a question over the program's window.
// "Wiederherstellen" opens each document in its window under its own file name, marked changed;
// "Verwerfen" deletes the copies. A copy that cannot be read is reported and kept aside.
class RecoveryOffer {
public:
    // Where restored documents go. The first chart goes into `chartWindow` and the first
    // picture into `pictureWindow` when given (windows the start left free); the others get
    // windows of their own, which live as long as this object.
    struct Targets {
        TMainForm* chartWindow = nullptr;
        TDIBMainForm* pictureWindow = nullptr;
        bool charts = true; // false: only picture copies are offered (the editor alone)
    };

    RecoveryOffer();
    ~RecoveryOffer();
    RecoveryOffer(const RecoveryOffer&) = delete;
    RecoveryOffer& operator=(const RecoveryOffer&) = delete;

    // Asks about the copies in `store` over `parent`; nothing happens when there are none or
    // another program is asking about them now. Returns how many documents were restored.
    int offer(QWidget* parent, const Targets& targets, const recovery::Store& store);
    // The same once the event loop runs, with the program's own recovery folder.
    void offerAtStart(QWidget* parent, const Targets& targets);

    // The question's text for `entries`.
    static QString questionText(const std::vector<recovery::Entry>& entries);

    std::vector<std::unique_ptr<ProgramWindows>> programs;
    std::vector<std::unique_ptr<TDIBMainForm>> editors;

private:
    bool restore(const recovery::Entry& entry, const Targets& targets, bool& chartTaken,
                 bool& pictureTaken);
};
